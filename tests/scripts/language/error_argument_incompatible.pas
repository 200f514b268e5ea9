procedure P(b: Boolean);
begin
end;
begin
  P('yes');
end.
