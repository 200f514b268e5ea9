// A scroll box grows its scrolling area to hold its controls (AutoScroll) or to a scroll
// bar's Range, and scrolls by Position; its scroll bars belong to it.
var
  F: TForm;
  S: TScrollBox;
  B: TButton;
begin
  F := TForm.Create(nil);
  S := TScrollBox.Create(F);
  S.Parent := F;
  S.SetBounds(0, 0, 100, 100);
  B := TButton.Create(F);
  B.Parent := S;
  B.SetBounds(150, 300, 60, 25);
  F.Show;
  S.VertScrollBar.Position := 50;
  ShowMessage(S.VertScrollBar.Position);
  S.HorzScrollBar.Range := 1000;
  S.HorzScrollBar.Position := 600;
  ShowMessage(S.HorzScrollBar.Position);
  try
    S.VertScrollBar.Free;
  except
    ShowMessage('the scroll box keeps its scroll bars');
  end;
  F.Free;
end.
