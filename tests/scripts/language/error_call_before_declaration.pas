procedure A;
begin
  B;
end;
procedure B;
begin
end;
begin
end.
