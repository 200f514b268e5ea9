// Components: owners free what they own; Name and Tag are published properties; Assign and
// ClassName come from TPersistent and TObject.
var
  owner, child: TComponent;
  a, b: TStringList;
  o: TObject;
  p: TPersistent;
begin
  o := TObject.Create;
  p := TPersistent.Create;
  ShowMessage(o.ClassName + ' ' + p.ClassName);
  o.Free;
  p.Free;
  owner := TComponent.Create(nil);
  child := TComponent.Create(owner);
  child.Name := 'Child1';
  child.Tag := 42;
  ShowMessage(child.Name + ' ' + IntToStr(child.Tag) + ' ' + child.Owner.ClassName);
  if owner.Owner = nil then ShowMessage('the owner has no owner');
  owner.Free;
  try
    ShowMessage(child.Name);
  except
    ShowMessage('the child went with its owner');
  end;

  a := TStringList.Create;
  b := TStringList.Create;
  a.CommaText := 'x,y';
  b.Assign(a);
  ShowMessage(b.CommaText + ' ' + b.ClassName + ' ' + TStringList.ClassName);
  try
    b.Assign(nil);
  except
    ShowMessage('Assign(nil) raised');
  end;
  a.Free;
  b.Free;
end.
