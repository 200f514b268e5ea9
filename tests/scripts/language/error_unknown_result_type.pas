function F: TFoo;
begin
end;
begin
end.
