// and/or skip their right operand only when both sides are statically Boolean.
var
  calls: Integer;
  b, t: Boolean;
  v: Variant;

function Yes: Boolean;
begin
  calls := calls + 1;
  Result := True;
end;

function No: Boolean;
begin
  calls := calls + 1;
  Result := False;
end;

function VYes: Variant;
begin
  calls := calls + 1;
  Result := True;
end;

begin
  calls := 0;
  b := False; t := True;
  ShowMessage(b and Yes);
  ShowMessage(calls);
  ShowMessage(t or No);
  ShowMessage(calls);
  ShowMessage(t and Yes);
  ShowMessage(calls);
  ShowMessage(b or No);
  ShowMessage(calls);
  // A Variant operand turns laziness off: the right side is always evaluated.
  calls := 0;
  ShowMessage(b and VYes);
  ShowMessage(calls);
  v := False;
  ShowMessage(v and Yes);
  ShowMessage(calls);
  // xor always needs both sides.
  calls := 0;
  ShowMessage(t xor Yes);
  ShowMessage(calls);
  calls := 0;
  if b and Yes and Yes then ShowMessage('wrong');
  ShowMessage(calls);
  if Yes or Yes or Yes then ShowMessage(calls);
  if (1 > 2) and Yes then ;
  ShowMessage(calls);
  v := Null;
  ShowMessage(VarToStr(v and True) = '');
end.
