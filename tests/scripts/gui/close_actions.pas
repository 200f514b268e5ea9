// Close asks OnClose what to do: keep the form (caNone), hide it (caHide), or free it
// (caFree: the form and its handlers are gone afterwards). OnShow and OnHide report.
var
  F: TForm;
  Next: TCloseAction;

procedure FormClose(Sender: TObject; var Action: TCloseAction);
begin
  Action := Next;
end;

procedure FormShow(Sender: TObject);
begin
  ShowMessage('shown');
end;

procedure FormHide(Sender: TObject);
begin
  ShowMessage('hidden');
end;

begin
  F := TForm.Create(nil);
  F.OnClose := 'FormClose';
  F.OnShow := 'FormShow';
  F.OnHide := 'FormHide';
  F.Show;
  Next := caNone;
  F.Close;
  ShowMessage(F.Visible);
  Next := caHide;
  F.Close;
  ShowMessage(F.Visible);
  F.Show;
  Next := caFree;
  F.Close;
  try
    ShowMessage(F.Caption);
  except
    ShowMessage('freed');
  end;
end.
