// The exceptions of the drawing classes.
#pragma once

#include "host/core/exceptions.h"

namespace kv {

// A picture file or picture data the class cannot read or write: an unknown file name
// extension, data that is not a picture of the format, a size out of range.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EInvalidGraphic"; }
};

// An operation the object cannot perform in its state: drawing on a canvas that has nothing
// to draw on.
class EInvalidGraphicOperation : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EInvalidGraphicOperation"; }
};

}  // namespace kv
