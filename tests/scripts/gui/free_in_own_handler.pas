// A control freed from inside its own event handler goes when the handler returns; a freed
// control raises on use; a control's font is the control's to free; freeing a form frees the
// controls on it.
var
  F: TForm;
  B, Other: TButton;

procedure ButtonClick(Sender: TObject);
begin
  TButton(Sender).Free;
  ShowMessage('still there: ' + TButton(Sender).Caption);
end;

begin
  F := TForm.Create(nil);
  B := TButton.Create(F);
  B.Parent := F;
  B.Caption := 'B';
  B.OnClick := 'ButtonClick';
  B.Click;
  try
    B.Click;
  except
    ShowMessage('gone after the handler');
  end;
  try
    F.Font.Free;
  except
    ShowMessage('a form keeps its font');
  end;
  Other := TButton.Create(nil);
  Other.Parent := F;
  F.Free;
  try
    Other.Caption := 'x';
  except
    ShowMessage('went with its parent');
  end;
end.
