// The same script with LF, CRLF and CR line ends: the error is at the same row:col.
{ a block
  comment } (* and
  another *)
var s: String;
begin
  s := 'a';
  s := s + Undeclared;
end.
