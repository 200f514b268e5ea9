// The wording of failures on named files, shared by file streams and file saving, so that
// every route to a file reports the same way: Cannot open file "NAME". REASON
#pragma once

#include "host/core/ustring.h"

namespace kv {

// The system's text for an errno value ("No such file or directory").
UString SystemErrorText(int error);

// "VERB file "NAME". REASON", e.g. FileErrorMessage(u"Cannot open", name, reason). A #0 in
// the name shows as "#0": taken literally it would end the message where it is shown.
UString FileErrorMessage(UStringView verb, UStringView fileName, UStringView reason);

}  // namespace kv
