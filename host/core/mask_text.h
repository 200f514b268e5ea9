// Edit masks: the picture of a masked input field, and text formatted through one.
#pragma once

#include "host/core/format_settings.h"
#include "host/core/ustring.h"

namespace kv {

// An edit mask has up to three fields separated by ";": the picture, whether the value
// holds the picture's literal characters ("1", the default) or only the typed ones ("0"),
// and the character that marks an empty position when the mask is edited ("_").
//
// Picture characters:
//   L  a letter          l  a letter, optional
//   A  a letter or digit a  a letter or digit, optional
//   C  any character     c  any character, optional
//   0  a digit           9  a digit, optional
//   #  a digit or sign (+ -), optional
//   >  what follows in upper case;  <  in lower case;  <>  as typed
//   \  the next character is literal
//   :  the time separator;  /  the date separator;  _  a blank
//   !  positions left empty are the first ones instead of the last ones
//   any other character is a literal
//
// FormatMaskText pours the value's characters into the picture's positions in order; with
// literals in the value, a value character that equals the literal at its place is taken
// as that literal (at a date or time separator also "/" or ":"). A character that does not
// fit its position is dropped and the position shows a blank, as do positions the value
// leaves empty. Literals always show.
UString FormatMaskText(UStringView editMask, UStringView value,
                       const TFormatSettings& settings = FormatSettings());

}  // namespace kv
