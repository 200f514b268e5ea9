begin ShowMessage(Round(1e12)) end.
