begin ShowMessage(Ord('')) end.
