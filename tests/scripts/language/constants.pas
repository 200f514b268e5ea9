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
  // A hexadecimal literal is a bit pattern and keeps its low 32 bits; a decimal one too
  // large for Integer is a real number, exact up to 2^53.
  Hex64 = $100000001;
  BigDecimal = 3000000000;
  MinInt = -2147483648;
  Int64Max = 9223372036854775807;
  Exact53 = 9007199254740991;  // 2^53 - 1
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
  ShowMessage(BigDecimal + 1);
  ShowMessage(4294967296);
  ShowMessage(Int64Max);
  ShowMessage(Exact53 - 9007199254740000);
  // With its minus, 2147483648 is the Integer minimum, so Integer operators take it.
  ShowMessage(-2147483648 div 2);
end.
