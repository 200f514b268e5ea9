// XML items and documents: building a tree, finding items, attributes, saving and loading
// through a stream and a temporary file, and the tree's ownership rules.
const
  Name = 'xml.tmp';
var
  doc, back: TkvXMLDocument;
  item, loose: TkvXMLItem;
  m: TMemoryStream;
  s: string;
  i: Integer;
begin
  doc := TkvXMLDocument.Create;
  back := TkvXMLDocument.Create;
  m := TMemoryStream.Create;
  try
    doc.Root.Name := 'config';
    item := doc.Root.Add;
    item.Name := 'server';
    item.Text := 'host="local" port="80"';
    item.Data := 7;
    doc.Root.FindItem('client').Text := 'name="Иван &#38; Co"';
    ShowMessage(IntToStr(doc.Root.Count) + ' ' + doc.Root[1].Name + ' ' + item.Parent.Name);
    ShowMessage(item.Prop('port') + ' ' + doc.Root.Items[1].Prop('name') + ' ' +
      IntToStr(item.Data) + ' ' + item.Root.Name);
    ShowMessage(IntToStr(doc.Root.Find('CLIENT')) + ' ' + IntToStr(doc.Root.Find('none')));

    loose := TkvXMLItem.Create;
    loose.Name := 'extra';
    doc.Root.InsertItem(0, loose);     // the tree owns it now
    ShowMessage(doc.Root[0].Name + ' ' + loose.Parent.Name);
    try
      loose.AddItem(doc.Root);
    except
      ShowMessage('a root cannot move under an item');
    end;
    try
      item.FindItem('inner').AddItem(item);
    except
      ShowMessage('an item cannot move under itself');
    end;

    doc.SaveToStream(m);
    m.Position := 0;
    back.LoadFromStream(m);
    ShowMessage(back.Root.Name + ' ' + IntToStr(back.Root.Count) + ' ' + back.Root[2].Prop('name'));

    doc.SaveToFile(Name);
    back.Root.Clear;
    back.LoadFromFile(Name);
    for i := 0 to back.Root.Count - 1 do
      ShowMessage(back.Root[i].Name + ' ' + back.Root[i].Text);

    loose.Free;                        // leaves its parent's list
    ShowMessage(IntToStr(doc.Root.Count));
  finally
    m.Free;
    back.Free;
    doc.Free;
    DeleteFile(Name);
  end;
end.
