// Operator priorities, associativity, brackets, unary minus, division and comparisons.
var
  a, b, c: Integer;
  s: String;
begin
  a := 10; b := 4; c := 3;
  // Equal priorities associate to the left.
  ShowMessage(a - b - c);
  ShowMessage(100 / 8 / 5);
  ShowMessage(a div b div 2);
  // * binds tighter than +, brackets override, nested brackets dissolve.
  ShowMessage(a + b * c);
  ShowMessage(a * b + c);
  ShowMessage((a + b) * c);
  ShowMessage(((a + b)) * (c));
  ShowMessage(3 + 4 * 2 - 10 div 3);
  ShowMessage(2 * 3 mod 4);
  // A leading minus applies to the first term only: -a * b is (-a) * b.
  ShowMessage(-a * b);
  ShowMessage(-a + b);
  ShowMessage(-2 * (-1) = 2);
  // / always divides in floating point; div truncates toward zero; mod takes the sign of
  // the left operand; a real operand of div is rounded half to even first.
  ShowMessage(7 / 2);
  ShowMessage(8 / 2);
  ShowMessage(7 div 2);
  ShowMessage(-7 div 2);
  ShowMessage(-7 mod 2);
  ShowMessage(7 mod (-2));
  ShowMessage(7.5 div 2);
  ShowMessage(6.5 div 2);
  ShowMessage(1.5 + 1);
  // Bit operations on integers.
  ShowMessage(1 shl 4);
  ShowMessage(256 shr 2);
  ShowMessage(6 and 3);
  ShowMessage(6 or 3);
  ShowMessage(6 xor 3);
  ShowMessage(not 0);
  ShowMessage(not 1 = -2);
  // Comparisons are the loosest operators and chain to the left: (1 = 1) = True.
  ShowMessage(1 + 2 = 3);
  ShowMessage(1 = 1 = True);
  ShowMessage(2 > 1);
  ShowMessage(1 <> 2);
  ShowMessage(1 <= 1);
  ShowMessage(2 >= 3);
  // Strings join with + and compare code unit by code unit, case-sensitively.
  s := 'x';
  s := s + 'y' + 'z';
  ShowMessage(s);
  ShowMessage('ab' + 'cd' + IntToStr(a));
  ShowMessage('abc' < 'abd');
  ShowMessage('ab' < 'abc');
  ShowMessage('B' < 'a');
  ShowMessage('abc' = 'ABC');
end.
