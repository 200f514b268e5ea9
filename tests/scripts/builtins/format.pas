{ Format: specifiers, widths, indexes, missing arguments and long strings. }
var
  s: String;
  i: Integer;
begin
  // Too few arguments is an error, never a made-up zero (error_format_too_few has the message).
  try
    ShowMessage(Format('%d-%d', [7]));
  except
    ShowMessage('%d-%d needs two arguments');
  end;
  ShowMessage(Format('[%5d] [%-5d] [%.4d] [%x] [%.8x]', [42, 42, -12, 255, -1]));
  ShowMessage(Format('[%u]', [-1]));
  ShowMessage(Format('%s and %s', ['Иван', 'Мария']));
  ShowMessage(Format('%1:s %0:s %s', ['a', 'b']));
  ShowMessage(Format('[%*d] [%-*d]', [4, 7, 4, 7]));
  ShowMessage(Format('[%6.2f] [%.0f] [%.3f] [%f]', [3.14159, 2.5, -1.0005, -0.004]));
  ShowMessage(Format('%n | %.0n | %m', [1234567.891, -999.5, -5.0]));
  ShowMessage(Format('%e | %.3e | %g | %g', [1234.5, 0.0001, 1234.5, 1e20]));
  try
    ShowMessage(Format('%s', [True]));
  except
    ShowMessage('%s needs a string');
  end;
  try
    ShowMessage(Format('%f', [1]));
  except
    ShowMessage('%f needs a float');
  end;
  ShowMessage(Format('%.3s|%10s|%-10s|', ['abcdef', 'right', 'left']));
  ShowMessage(Format('100%% of %d', [5]));
  s := '';
  for i := 1 to 300 do
    s := s + Chr(Ord('a') + i mod 26);
  ShowMessage(Length(Format('<%s>', [s])));
  ShowMessage(Copy(Format('%s', [s]), 250, 60));
end.
