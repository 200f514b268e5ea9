// The string routines scripts call. Strings are UTF-16 code units and positions count code
// units from 1.
#pragma once

#include <cstdint>

#include "host/core/ustring.h"

namespace kv {

// The longest string a script can make (SetLength, concatenation, the value of any string
// Variant): a script that asks for more gets a clear error rather than an allocation that
// takes the machine down.
inline constexpr int32_t kMaxStringLength = 1 << 28;

// Raises EOutOfMemory "A string of N characters is too long (at most ...)" for a length
// above kMaxStringLength. Code that joins strings calls it before it allocates.
void CheckStringLength(int64_t length);

// `count` characters from position `from`; a position before 1 counts from 1 (the count is
// kept), a position past the end or a negative count gives "", a count past the end stops
// at the end.
UString Copy(UStringView s, int32_t from, int32_t count);
// The position of the first occurrence of sub in s; 0 when there is none or either is empty.
int32_t Pos(UStringView sub, UStringView s);
// Removes `count` characters from position `from`; nothing for a position outside 1..length
// or a count of 0 or less; a count past the end stops at the end.
void Delete(UString& s, int32_t from, int32_t count);
// Inserts sub into s before position pos; a position before 1 inserts at the front, one past
// the end appends.
void Insert(UStringView sub, UString& s, int32_t pos);
// Without the leading and trailing characters of code 32 or less.
UString Trim(UStringView s);
// Every character right after a blank in upper case; the rest as it is.
UString NameCase(UStringView s);
// The one-character string of the low 16 bits of code; a negative code raises ERangeError.
UString Chr(int32_t code);
// The code (0..65535) of the first character; an empty string raises ERangeError.
int32_t Ord(UStringView s);
// Cut to `length` characters or extended with blanks; a negative length gives "", one above
// kMaxStringLength raises EOutOfMemory.
void SetLength(UString& s, int32_t length);

}  // namespace kv
