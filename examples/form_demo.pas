// A small window built by a script: type a name, press Add (or Enter) and it joins the
// list; the check box keeps the list sorted; a double click on a row removes it.
// Run it with:  build/cli/kvscript examples/form_demo.pas
// Without a display the script builds the window and ends; with one it waits until you
// close the window.
var
  Form: TForm;
  NameLabel, CountLabel: TLabel;
  NameEdit: TEdit;
  AddButton, CloseButton: TButton;
  Names: TListBox;
  SortBox: TCheckBox;

procedure UpdateCount;
begin
  CountLabel.Caption := IntToStr(Names.Items.Count) + ' name(s)';
end;

procedure AddClick(Sender: TObject);
begin
  if Trim(NameEdit.Text) = '' then Exit;
  Names.Items.Add(Trim(NameEdit.Text));
  NameEdit.Text := '';
  NameEdit.SetFocus;
  UpdateCount;
end;

procedure NamesDblClick(Sender: TObject);
begin
  if Names.ItemIndex >= 0 then Names.Items.Delete(Names.ItemIndex);
  UpdateCount;
end;

procedure SortClick(Sender: TObject);
begin
  Names.Sorted := SortBox.Checked;
end;

procedure CloseClick(Sender: TObject);
begin
  Form.Close;
end;

procedure FormCloseQuery(Sender: TObject; var CanClose: Boolean);
begin
  CanClose := True;
end;

begin
  Form := TForm.Create(nil);
  Form.Caption := 'Names';
  Form.Position := poScreenCenter;
  Form.BorderStyle := bsSingle;
  Form.ClientWidth := 320;
  Form.ClientHeight := 240;
  Form.OnCloseQuery := 'FormCloseQuery';

  NameLabel := TLabel.Create(Form);
  NameLabel.Parent := Form;
  NameLabel.Caption := 'Name:';
  NameLabel.SetBounds(12, 16, 48, 20);

  NameEdit := TEdit.Create(Form);
  NameEdit.Parent := Form;
  NameEdit.SetBounds(64, 12, 156, 24);

  AddButton := TButton.Create(Form);
  AddButton.Parent := Form;
  AddButton.Caption := 'Add';
  AddButton.Default := True;
  AddButton.SetBounds(228, 11, 80, 26);
  AddButton.OnClick := 'AddClick';

  Names := TListBox.Create(Form);
  Names.Parent := Form;
  Names.SetBounds(12, 46, 208, 150);
  Names.Anchors := [akLeft, akTop, akRight, akBottom];
  Names.Items.CommaText := 'Ada,Niklaus,Grace';
  Names.OnDblClick := 'NamesDblClick';

  SortBox := TCheckBox.Create(Form);
  SortBox.Parent := Form;
  SortBox.Caption := 'Sorted';
  SortBox.SetBounds(228, 46, 80, 24);
  SortBox.OnClick := 'SortClick';

  CountLabel := TLabel.Create(Form);
  CountLabel.Parent := Form;
  CountLabel.SetBounds(12, 208, 200, 20);

  CloseButton := TButton.Create(Form);
  CloseButton.Parent := Form;
  CloseButton.Caption := 'Close';
  CloseButton.Cancel := True;
  CloseButton.SetBounds(228, 204, 80, 26);
  CloseButton.OnClick := 'CloseClick';

  UpdateCount;
  Form.Show;
  NameEdit.SetFocus;
end.
