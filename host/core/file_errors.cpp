#include "host/core/file_errors.h"

#include <system_error>

namespace kv {

UString SystemErrorText(int error) {
  return FromUtf8(std::error_code(error, std::generic_category()).message());
}

UString FileErrorMessage(UStringView verb, UStringView fileName, UStringView reason) {
  UString shown;
  for (char16_t c : fileName) shown += c == 0 ? UString(u"#0") : UString(1, c);
  return UString(verb) + u" file \"" + shown + u"\". " + UString(reason);
}

}  // namespace kv
