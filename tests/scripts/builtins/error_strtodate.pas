begin ShowMessage(StrToDate('31.12.2024')) end.
