begin ShowMessage(Format('%d items', ['many'])) end.
