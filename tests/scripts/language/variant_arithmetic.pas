// Integer overflow and Variant promotion, Null, and mixed-type Variant operations.
var
  i: Integer;
  v, w: Variant;
begin
  // Two statically integer operands take the 32-bit fast path and wrap around.
  i := 2147483647;
  ShowMessage(i + 1);
  i := 65536;
  ShowMessage(i * i);
  // x := x + 1, folded into an in-place addition, follows the same rule however it is
  // written; with a Variant operand it promotes, as the expression would.
  i := 2147483647;
  i := i + 1;
  ShowMessage(i);
  i := 2147483647;
  i := 1 + i;
  ShowMessage(i);
  i := 2147483647;
  v := 1;
  i := i + v;
  ShowMessage(i);
  // Not folded (the root operator's operands are not the variable): the fast path wraps.
  i := 2147483647;
  i := (i + 1) * 1;
  ShowMessage(i);
  // Integer kind is not enough for the fast path: "/" of two integers has integer kind but a
  // real value, and an Integer variable can hold a real; such values use Variant arithmetic.
  ShowMessage(1 / 3 * 3);
  ShowMessage(7 / 2 + 7 / 2);
  ShowMessage((7 / 2) div 1);
  i := 5 / 2;
  ShowMessage(i);
  ShowMessage(i * 2);
  i := 2147483647;
  i := i + 1;
  ShowMessage(i * 2);
  // Variant arithmetic promotes instead of wrapping.
  v := 2147483647;
  ShowMessage(v + 1);
  v := 65536;
  ShowMessage(v * v);
  v := -2147483647 - 1;
  ShowMessage(-v);
  // Hexadecimal literals are taken as 32 bits.
  ShowMessage($FFFFFFFF);
  ShowMessage($7FFFFFFF + 0);
  ShowMessage($10);
  // Strings in arithmetic are converted to numbers, except that + joins two strings.
  v := '5'; w := '2';
  ShowMessage(v - w);
  ShowMessage(v + w);
  ShowMessage(v * 2);
  v := '10';
  ShowMessage(v < 9);
  ShowMessage(v > '9');
  // Null propagates through arithmetic and is less than everything else.
  v := Null;
  ShowMessage(v = Null);
  ShowMessage((v + 1) = Null);
  ShowMessage(v < 0);
  // Variant / always divides in floating point; div and mod stay integer.
  v := 7; w := 2;
  ShowMessage(v / w);
  ShowMessage(v div w);
  ShowMessage(v mod (-w));
  ShowMessage(-v mod w);
  // Booleans count as integers in arithmetic, True being -1.
  v := True;
  ShowMessage(v + 1);
  ShowMessage(v and False);
  ShowMessage(v xor True);
end.
