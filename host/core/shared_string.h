// SharedString: a reference-counted UTF-16 buffer. Copies share the buffer until one of them
// writes (copy on write), which makes passing strings between variables and Variants cheap.
// Single-threaded: the count is a plain integer.
#pragma once

#include "host/core/ustring.h"

namespace kv {

class SharedString {
 public:
  struct Rep {
    long refs;
    UString text;
  };

  SharedString() noexcept : rep_(nullptr) {}
  SharedString(UString text);
  SharedString(const SharedString& o) noexcept : rep_(o.rep_) {
    if (rep_) ++rep_->refs;
  }
  SharedString(SharedString&& o) noexcept : rep_(o.rep_) { o.rep_ = nullptr; }
  ~SharedString() { Release(); }
  SharedString& operator=(const SharedString& o) noexcept;
  SharedString& operator=(SharedString&& o) noexcept;

  // Adopts one reference of a body (the Variant hands its body over this way).
  static SharedString Adopt(Rep* rep) noexcept {
    SharedString s;
    s.rep_ = rep;
    return s;
  }
  Rep* Detach() noexcept {
    Rep* r = rep_;
    rep_ = nullptr;
    return r;
  }

  const UString& Str() const noexcept { return rep_ ? rep_->text : Empty(); }
  size_t Size() const noexcept { return rep_ ? rep_->text.size() : 0; }
  // The buffer for writing, unshared first.
  UString& Mutable();

 private:
  static const UString& Empty() noexcept;
  void Release() noexcept {
    if (rep_ && --rep_->refs == 0) delete rep_;
    rep_ = nullptr;
  }

  Rep* rep_;
};

}  // namespace kv
