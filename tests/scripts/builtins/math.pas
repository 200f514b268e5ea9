{ Rounding, the checked float routines and their errors. }
begin
  ShowMessage(IntToStr(Round(2.5)) + ' ' + IntToStr(Round(3.5)) + ' ' + IntToStr(Round(-2.5)) + ' ' + IntToStr(Round(-2.6)) + ' ' + IntToStr(Round(0.49999999999999994)));
  ShowMessage(IntToStr(Trunc(-1.7)) + ' ' + IntToStr(Trunc(1.9999)) + ' ' + FloatToStr(Int(2.7)) + ' ' + FloatToStr(Int(-2.7)));
  ShowMessage(FloatToStr(Frac(2.75)) + ' ' + FloatToStr(Frac(-2.75)));
  ShowMessage(FloatToStr(Sqrt(2)) + ' ' + FloatToStr(Sqrt(0)));
  ShowMessage(FloatToStr(Abs(-3)) + ' ' + FloatToStr(Abs(2.5)));
  ShowMessage(FloatToStr(Pi) + ' ' + FloatToStr(Sin(Pi / 2)) + ' ' + FloatToStr(Cos(0)) + ' ' + FloatToStr(ArcTan(1) * 4));
  ShowMessage(FloatToStr(Tan(Pi / 4)) + ' ' + FloatToStr(Exp(1)) + ' ' + FloatToStr(Ln(Exp(2))) + ' ' + FloatToStr(Exp(-1000)));
  ShowMessage(Round(2147483647.4));
  try
    Sqrt(-1);
  except
    ShowMessage('Sqrt(-1) failed');
  end;
  try
    Ln(0);
  except
    ShowMessage('Ln(0) failed');
  end;
  try
    Ln(-1);
  except
    ShowMessage('Ln(-1) failed');
  end;
  try
    Exp(1000);
  except
    ShowMessage('Exp(1000) failed');
  end;
  try
    Round(1e10);
  except
    ShowMessage('Round(1e10) failed');
  end;
  try
    Trunc(-3e9);
  except
    ShowMessage('Trunc(-3e9) failed');
  end;
end.
