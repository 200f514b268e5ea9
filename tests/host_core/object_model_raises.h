// RaisedBy<E>(f): the message of the E that f raised, or a text naming what happened instead,
// so a failing expectation shows the wrong exception's class and message.
#pragma once

#include <string>
#include <type_traits>

#include "host/core/exceptions.h"

namespace kv {

template <class E, class F>
std::string RaisedBy(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    if constexpr (std::is_same_v<E, Exception>)
      return ToUtf8(e.Message());
    else if (dynamic_cast<const E*>(&e))
      return ToUtf8(e.Message());
    return std::string("<") + e.ClassName() + ": " + ToUtf8(e.Message()) + ">";
  }
  return "<nothing raised>";
}

}  // namespace kv
