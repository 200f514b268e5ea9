begin
  try
    RaiseException('first');
  except
    RaiseException('from the handler');
  end;
end.
