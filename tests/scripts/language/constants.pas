// Constants and initialised variables.
const
  Max = 10;
  Half = Max / 2;
  Name = 'kv' + 'Script';
  Mask = $FF;
  Big = $FFFFFFFF;
  Neg = -5;
  Tau = 3.14159 * 2;
  Flag = Max > 5;
  // An integer literal keeps its low 32 bits, decimal or hexadecimal: the value model
  // intends it, however odd (so -2147483648 is the negation of -2147483648, promoted).
  Hex64 = $100000001;
  BigDecimal = 3000000000;
  MinInt = -2147483648;
var
  i: Integer = 3;
  s: String = 'init';
  // Only the last name of a group takes the initial value.
  a, b: Integer = 7;
  f: Extended = Max * 1.5;

procedure Bump(var x: Integer);
begin
  x := x + 1;
end;

// Local initial values run at every call.
procedure P;
const Local = Max + 1;
var k: Integer = 5;
begin
  ShowMessage(IntToStr(Local) + ' ' + IntToStr(k));
  k := 0;
end;

begin
  ShowMessage(Max);
  ShowMessage(Half);
  ShowMessage(Name);
  ShowMessage(Mask);
  ShowMessage(Big);
  ShowMessage(Neg);
  ShowMessage(Tau);
  ShowMessage(Flag);
  ShowMessage(Hex64);
  ShowMessage(IntToStr(i) + ' ' + s + ' ' + IntToStr(a) + ' ' + IntToStr(b));
  ShowMessage(f);
  P;
  P;
  ShowMessage(True);
  ShowMessage(False);
  ShowMessage(nil);
  ShowMessage(VarToStr(Null) = '');
  ShowMessage(1e3);
  ShowMessage(1.5e-2);
  ShowMessage(007);
  // A constant passed for a var parameter stays as it is.
  Bump(Max);
  Inc(Max);
  ShowMessage(Max);
  ShowMessage(BigDecimal);
  ShowMessage(MinInt);
end.
