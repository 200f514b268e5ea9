#include "host/core/conversions.h"

#include "host/core/exceptions.h"
#include "host/core/number_text.h"

namespace kv {

UString IntToStr(int64_t value) { return IntToUStr(value); }

bool TryStrToInt(UStringView text, int32_t& out) { return TryTextToInt32(text, out); }

int32_t StrToInt(UStringView text) {
  int32_t out;
  if (!TryStrToInt(text, out))
    throw EConvertError(u"'" + UString(text) + u"' is not a valid integer value");
  return out;
}

bool TryStrToFloat(UStringView text, double& out, const TFormatSettings& s) {
  if (s.DecimalSeparator == u'.') return TryTextToFloat(text, out);
  UString invariant(text);
  for (char16_t& c : invariant) {
    if (c == u'.') return false;
    if (c == s.DecimalSeparator) c = u'.';
  }
  return TryTextToFloat(invariant, out);
}

double StrToFloat(UStringView text, const TFormatSettings& s) {
  double out;
  if (!TryStrToFloat(text, out, s))
    throw EConvertError(u"'" + UString(text) + u"' is not a valid floating point value");
  return out;
}

}  // namespace kv
