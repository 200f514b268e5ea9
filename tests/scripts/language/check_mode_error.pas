// --check reports a compile error like a run does.
begin
  Nothing;
end.
