// The three comment kinds, on their own, trailing, inline, spanning lines and inside strings.
{ a brace comment
  over two lines }
(* a paren-star comment
   over two lines *)
var
  i: Integer; // trailing
  s: String; { trailing brace } (* trailing paren *)
begin
  i := 1 {inline} + (* inline *) 2; // three
  ShowMessage(i);
  s := '// not a comment { nor this } (* nor this *)';
  ShowMessage(s);
  { ShowMessage('hidden 1'); }
  (* ShowMessage('hidden 2'); *)
  // ShowMessage('hidden 3');
  { brace with (* inside *) and // inside }
  (* star with { inside } and // inside *)
  ShowMessage(i{no space}*{between}3);
  // A brace comment ends at the first closing brace: they do not nest.
  { a { nested } ShowMessage('after brace');
  (* a (* nested *) ShowMessage('after star');
  {}(**)ShowMessage('empty comments');
end.
