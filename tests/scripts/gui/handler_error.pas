// An error in a handler fired by the event loop (here a timer's) is reported on standard
// error and the program goes on; the runner exits 2 at the end.
var
  F: TForm;
  T: TTimer;
  N: Integer;

procedure Tick(Sender: TObject);
begin
  N := N + 1;
  if N = 1 then StrToInt('12a');
  if N = 2 then F.Close;
end;

begin
  F := TForm.Create(nil);
  T := TTimer.Create(F);
  T.Interval := 10;
  T.OnTimer := 'Tick';
  ShowMessage(F.ShowModal = mrCancel);
  ShowMessage('went on after ' + IntToStr(N) + ' ticks');
  F.Free;
end.
