#include "host/core/shared_string.h"

namespace kv {

SharedString::SharedString(UString text) : rep_(new Rep{1, std::move(text)}) {}

SharedString& SharedString::operator=(const SharedString& o) noexcept {
  // Taking the reference before releasing ours keeps self-assignment safe.
  if (o.rep_) ++o.rep_->refs;
  Release();
  rep_ = o.rep_;
  return *this;
}

SharedString& SharedString::operator=(SharedString&& o) noexcept {
  if (this != &o) {
    Release();
    rep_ = o.rep_;
    o.rep_ = nullptr;
  }
  return *this;
}

UString& SharedString::Mutable() {
  if (!rep_) {
    rep_ = new Rep{1, UString()};
  } else if (rep_->refs > 1) {
    Rep* copy = new Rep{1, rep_->text};
    --rep_->refs;
    rep_ = copy;
  }
  return rep_->text;
}

const UString& SharedString::Empty() noexcept {
  static const UString empty;
  return empty;
}

}  // namespace kv
