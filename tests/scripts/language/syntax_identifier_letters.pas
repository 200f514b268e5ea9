// Identifiers are ASCII letters, digits and underscores; Cyrillic letters are not among them.
var _x1, X_2: Integer;
    привет: Integer;
begin
end.
