begin ShowMessage(Format('%d items, %d errors', [5])) end.
