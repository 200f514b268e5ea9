// The checks registration makes, so that a binding's mistake raises with the declaration in
// the message instead of failing later inside scripts.
#pragma once

#include "host/core/ustring.h"

namespace kv {

// Raises "Bad declaration 'DECLARATION': REASON".
[[noreturn]] void BadDeclaration(UStringView declaration, const UString& reason);

// A declaration may name a class that its library registers only later (classes that name
// each other cannot all come first), so a type name scripts do not know yet is noted, and
// CheckNotedTypeNames raises for the first noted name that is still unknown: the start-up
// sequence calls it after each library, and every compile before it begins. Without a global
// script there is nothing to check against, and nothing is noted.
void NoteTypeName(UStringView typeName, UStringView declaration);
void CheckNotedTypeNames();
// For the shut-down sequence: what an ended interpreter noted is not checked by the next.
void ForgetNotedTypeNames();

}  // namespace kv
