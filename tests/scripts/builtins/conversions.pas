{ Numbers and dates to text and back, and the Valid tests. }
var
  d: Double;
begin
  ShowMessage(IntToStr(0) + ' ' + IntToStr(-2147483647 - 1) + ' ' + IntToStr(2147483647));
  ShowMessage(FloatToStr(1 / 3));
  ShowMessage(FloatToStr(-2.5) + ' ' + FloatToStr(0.1 + 0.2) + ' ' + FloatToStr(100));
  ShowMessage(FloatToStr(1e15) + ' ' + FloatToStr(123456789012345.0) + ' ' + FloatToStr(0.00001));
  ShowMessage(FloatToStr(0.0001) + ' ' + FloatToStr(-1.5e-10));
  ShowMessage(StrToInt('  -42') + 1);
  ShowMessage(StrToInt('$FF'));
  ShowMessage(StrToFloat('1.5e3') / 2);
  ShowMessage(VarToStr(Null) + '|' + VarToStr(12) + '|' + VarToStr('x'));
  ShowMessage(DateToStr(EncodeDate(1850, 7, 4)));
  ShowMessage(TimeToStr(EncodeTime(9, 5, 3, 0)));
  ShowMessage(DateTimeToStr(EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 59, 0)));
  ShowMessage(DateTimeToStr(EncodeDate(2024, 2, 29)));
  d := StrToDate('2000-02-29');
  ShowMessage(DateToStr(d + 1));
  ShowMessage(FormatDateTime('hh:nn:ss.zzz', StrToTime('13:45:30.5')));
  ShowMessage(FormatDateTime('c', StrToDateTime('1899-12-29 06:30')));
  ShowMessage(FormatDateTime('h:nn', StrToTime('1:30 PM')));
  ShowMessage(ValidInt('12') and not ValidInt('12a') and not ValidInt('') and not ValidInt('99999999999'));
  ShowMessage(ValidFloat('-1.25E-3') and not ValidFloat('1,5') and not ValidFloat('.'));
  ShowMessage(ValidDate('2024-02-29') and not ValidDate('2023-02-29') and not ValidDate('2024-13-01'));
  try
    StrToInt('12a');
    ShowMessage('not reached');
  except
    ShowMessage('StrToInt failed');
  end;
end.
