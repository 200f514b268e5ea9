#language PascalScript
// The directive line names the grammar; positions still count it as line 1.
begin
  ShowMessage('directive');
end.
