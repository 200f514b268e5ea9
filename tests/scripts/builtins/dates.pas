{ Date arithmetic: encoding, decoding, leap years, weekdays, dates before 1900. }
var
  y, m, d, h, n, s, ms: Integer;
  dt: TDateTime;
begin
  DecodeDate(EncodeDate(2000, 2, 29), y, m, d);
  ShowMessage(IntToStr(y) + '/' + IntToStr(m) + '/' + IntToStr(d));
  DecodeDate(EncodeDate(2000, 2, 29) + 1, y, m, d);
  ShowMessage(IntToStr(y) + '/' + IntToStr(m) + '/' + IntToStr(d));
  DecodeDate(EncodeDate(1900, 2, 28) + 1, y, m, d);
  ShowMessage(IntToStr(y) + '/' + IntToStr(m) + '/' + IntToStr(d));
  ShowMessage(EncodeDate(1899, 12, 30) = 0);
  ShowMessage(EncodeDate(1900, 1, 1) - EncodeDate(1899, 12, 31));
  ShowMessage(EncodeDate(2024, 3, 1) - EncodeDate(2024, 2, 1));
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  ShowMessage(Format('%.2d:%.2d:%.2d.%.3d', [h, n, s, ms]));
  dt := EncodeDate(1850, 6, 15) - EncodeTime(6, 30, 0, 0);
  DecodeDate(dt, y, m, d);
  DecodeTime(dt, h, n, s, ms);
  ShowMessage(Format('%d-%d-%d %d:%d', [y, m, d, h, n]));
  ShowMessage(DayOfWeek(EncodeDate(2024, 1, 14)));
  ShowMessage(DayOfWeek(EncodeDate(1899, 12, 30)));
  ShowMessage(DayOfWeek(EncodeDate(1815, 6, 18)));
  ShowMessage(IsLeapYear(2000) and IsLeapYear(2024) and not IsLeapYear(1900) and not IsLeapYear(2023));
  ShowMessage(IntToStr(DaysInMonth(2000, 2)) + ' ' + IntToStr(DaysInMonth(1900, 2)) + ' ' + IntToStr(DaysInMonth(2023, 4)));
  ShowMessage(Date <= Now);
  ShowMessage((Time >= 0) and (Time < 1));
  ShowMessage(Frac(Date) = 0);
  try
    EncodeDate(2023, 2, 29);
  except
    ShowMessage('no 29 February in 2023');
  end;
  try
    EncodeTime(24, 0, 0, 0);
  except
    ShowMessage('no hour 24');
  end;
  try
    DaysInMonth(2023, 13);
  except
    ShowMessage('no month 13');
  end;
end.
