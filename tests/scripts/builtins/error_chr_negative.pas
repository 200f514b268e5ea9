begin ShowMessage(Chr(-1)) end.
