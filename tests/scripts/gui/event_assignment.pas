// Assigning handlers to events: by name in any letter case or with @, read back as the
// handler's name, detached with nil or ''; a handler may declare fewer parameters than its
// event passes. Clicks from a script reach the handler like clicks from the user.
var
  F: TForm;
  B: TButton;
  Count: Integer;

procedure ButtonClick(Sender: TObject);
begin
  Count := Count + 1;
  ShowMessage('clicked ' + TButton(Sender).Caption);
end;

procedure NoArguments;
begin
  Count := Count + 10;
end;

begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  B.Parent := F;
  B.Caption := 'B1';
  ShowMessage('[' + B.OnClick + ']');
  B.OnClick := 'buttonclick';
  ShowMessage(B.OnClick);
  B.Click;
  B.OnClick := nil;
  B.Click;
  ShowMessage('[' + B.OnClick + ']');
  B.OnClick := @ButtonClick;
  B.Click;
  B.OnClick := '';
  B.Click;
  B.OnClick := 'NoArguments';
  B.Click;
  ShowMessage(Count);
  F.Free;
end.
