// The host's exception classes. Scripts catch every one of them (and every C++ standard
// exception) in try..except; the message is what a user reads.
#pragma once

#include <exception>
#include <string>

#include "host/core/ustring.h"

namespace kv {

class Exception : public std::exception {
 public:
  explicit Exception(UString message);
  explicit Exception(std::string_view utf8Message) : Exception(FromUtf8(utf8Message)) {}
  const UString& Message() const noexcept { return message_; }
  void SetMessage(UString message);
  const char* what() const noexcept override { return utf8_.c_str(); }
  // The host class name of the exception, for scripts that report it.
  virtual const char* ClassName() const noexcept { return "Exception"; }

 private:
  UString message_;
  std::string utf8_;
};

#define KV_EXCEPTION_CLASS(Name, Base)                                \
  class Name : public Base {                                          \
   public:                                                            \
    using Base::Base;                                                 \
    const char* ClassName() const noexcept override { return #Name; } \
  };

KV_EXCEPTION_CLASS(EAbort, Exception)         // silent abort: "Operation aborted"
KV_EXCEPTION_CLASS(EConvertError, Exception)  // string and date conversions
KV_EXCEPTION_CLASS(EVariantError, Exception)  // "Invalid variant operation", ...
KV_EXCEPTION_CLASS(EMathError, Exception)
KV_EXCEPTION_CLASS(EDivByZero, EMathError)      // integer: "Division by zero"
KV_EXCEPTION_CLASS(EIntOverflow, EMathError)    // "Integer overflow"
KV_EXCEPTION_CLASS(EZeroDivide, EMathError)     // "Floating point division by zero"
KV_EXCEPTION_CLASS(EInvalidOp, EMathError)      // "Invalid floating point operation"
KV_EXCEPTION_CLASS(EOverflow, EMathError)       // "Floating point overflow"
KV_EXCEPTION_CLASS(EUnderflow, EMathError)      // "Floating point underflow"
KV_EXCEPTION_CLASS(ERangeError, Exception)      // "Range check error"
KV_EXCEPTION_CLASS(EInvalidCast, Exception)     // an object of the wrong class
KV_EXCEPTION_CLASS(EInvalidPointer, Exception)  // a stale, forged or unconstructed handle
KV_EXCEPTION_CLASS(EStackOverflow, Exception)   // "Stack overflow"
KV_EXCEPTION_CLASS(EOutOfMemory, Exception)
KV_EXCEPTION_CLASS(EListError, Exception)  // "List index out of bounds (%d)"
KV_EXCEPTION_CLASS(EStringListError, EListError)
KV_EXCEPTION_CLASS(EStreamError, Exception)
KV_EXCEPTION_CLASS(EFOpenError, EStreamError)  // "Cannot open file \"%s\". ..."
KV_EXCEPTION_CLASS(EFCreateError, EStreamError)
KV_EXCEPTION_CLASS(EReadError, EStreamError)
KV_EXCEPTION_CLASS(EWriteError, EStreamError)
KV_EXCEPTION_CLASS(EInvalidOperation, Exception)  // a control that cannot do that now
KV_EXCEPTION_CLASS(EDatabaseError, Exception)
KV_EXCEPTION_CLASS(EOleError, Exception)

#undef KV_EXCEPTION_CLASS

// The message of any exception a script may catch: ours, or a C++ standard one.
UString ExceptionMessage(const std::exception& e);

}  // namespace kv
