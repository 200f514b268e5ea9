var x: TFoo;
begin
end.
