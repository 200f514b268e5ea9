begin ShowMessage(StrToInt('12a')) end.
