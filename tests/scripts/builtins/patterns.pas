{ FormatFloat, FormatDateTime and FormatMaskText patterns. }
var
  dt: TDateTime;
begin
  ShowMessage(FormatFloat('0.00', 2.675) + ' ' + FormatFloat('0.00', 1.005) + ' ' + FormatFloat('0.00', -0.125));
  ShowMessage(FormatFloat('#,##0.00', 1234567.891) + ' ' + FormatFloat('#,##0.00', -1234.5));
  ShowMessage(FormatFloat('#,##0', 999.5) + ' ' + FormatFloat('000', 7) + ' ' + FormatFloat('0.##', 1.5));
  ShowMessage(FormatFloat('0.0;(0.0);zero', -1.25) + ' ' + FormatFloat('0.0;(0.0);zero', 0));
  ShowMessage(FormatFloat('"$"#,##0.00', -5) + ' ' + FormatFloat('0.00 ''kg''', 1.234));
  ShowMessage(FormatFloat('0.00E+00', 1234.5) + ' ' + FormatFloat('0.###e-0', -0.00098765));
  ShowMessage(FormatFloat('', 1.5) + ' ' + FormatFloat('0', -0.4));

  dt := EncodeDate(2024, 2, 29) + EncodeTime(14, 7, 9, 45);
  ShowMessage(FormatDateTime('dd/mm/yyyy hh:nn:ss.zzz', dt));
  ShowMessage(FormatDateTime('d/m/yy h:n:s', dt));
  ShowMessage(FormatDateTime('dddd, d mmmm yyyy', dt) + ' | ' + FormatDateTime('ddd mmm', dt));
  ShowMessage(FormatDateTime('hh:mm', dt) + ' | ' + FormatDateTime('h:nn am/pm', dt) + ' | ' + FormatDateTime('h:nn a/p', EncodeTime(0, 5, 0, 0)));
  ShowMessage(FormatDateTime('ddddd | dddddd | t | tt', dt));
  ShowMessage(FormatDateTime('c', dt) + ' | ' + FormatDateTime('c', EncodeDate(1900, 1, 1)));
  ShowMessage(FormatDateTime('"Day" d "of" mmmm', dt));
  ShowMessage(FormatDateTime('yyyy-mm-dd hh:nn', EncodeDate(1812, 9, 7) - EncodeTime(18, 0, 0, 0)));
  ShowMessage(FormatDateTime('dddd yyyy', EncodeDate(1, 1, 1)) + ' | ' + FormatDateTime('dddd yyyy', EncodeDate(9999, 12, 31)));

  ShowMessage(FormatMaskText('(000)000-0000;0;_', '5551234567'));
  ShowMessage(FormatMaskText('>LL-0000;0;_', 'ab1234'));
  ShowMessage(FormatMaskText('>L<llll;0;_', 'mARIA'));
  ShowMessage('[' + FormatMaskText('000-000;0;_', '12') + ']');
  ShowMessage(FormatMaskText('00/00/0000;1;_', '29/02/2024'));
end.
