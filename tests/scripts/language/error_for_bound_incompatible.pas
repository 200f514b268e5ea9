var i: Integer;
begin
  for i := 1 to 'z' do ;
end.
