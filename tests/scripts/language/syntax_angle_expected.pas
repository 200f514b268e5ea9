var v: Variant;
begin
  v := <Table.Field;
end.
