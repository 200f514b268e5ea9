// Columns count UTF-16 code units: six for the Cyrillic word, two for the clef, one per tab.
var s: String;
begin
	s := 'Привет𝄞'; y := 1;
end.
