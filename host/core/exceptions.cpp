#include "host/core/exceptions.h"

namespace kv {

Exception::Exception(UString message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

void Exception::SetMessage(UString message) {
  message_ = std::move(message);
  utf8_ = ToUtf8(message_);
}

UString ExceptionMessage(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
  return FromUtf8(e.what());
}

}  // namespace kv
