// XML items keep the character data between their tags (Content); an attribute text that is
// not a well-formed attribute list is refused when set; a cut-off document does not load.
var
  doc: TkvXMLDocument;
  m: TMemoryStream;
  s: string;
begin
  doc := TkvXMLDocument.Create;
  m := TMemoryStream.Create;
  doc.Root.Name := 'people';
  doc.Root.Add.Name := 'name';
  doc.Root[0].Content := 'Bob & Alice';
  try
    doc.Root[0].Text := 'title="Tom & Jerry" bare=value';
  except
    ShowMessage('refused: [' + doc.Root[0].Text + ']');
  end;
  doc.SaveToStream(m);
  m.Position := 0;
  doc.Root.Clear;
  doc.LoadFromStream(m);
  ShowMessage(doc.Root[0].Content);

  s := '<?xml version="1.0"?><list><item/><item/>';
  m.Free;
  m := TMemoryStream.Create;
  m.Write(s, Length(s));
  m.Position := 0;
  doc.LoadFromStream(m);
  ShowMessage('not reached');
end.
