begin ShowMessage(DaysInMonth(2024, 0)) end.
