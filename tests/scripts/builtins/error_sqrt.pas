begin ShowMessage(Sqrt(-4)) end.
