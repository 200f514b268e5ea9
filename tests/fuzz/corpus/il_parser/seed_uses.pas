#language PascalScript
uses 'missing.pas';
begin end.
