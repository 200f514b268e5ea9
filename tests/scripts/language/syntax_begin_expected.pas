ShowMessage(1);
end.
