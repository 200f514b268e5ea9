// TGraphicsObject: what fonts, pens and brushes share. Each is usually part of a larger
// object (a canvas, a control) that applies it when it changes, and that the part may not
// outlive.
#pragma once

#include <functional>

#include "host/core/component.h"

namespace kv {

class TGraphicsObject : public TPersistent {
  KV_CLASS(TGraphicsObject, TPersistent)

 public:
  // Called after every change of a property (once for an Assign); not published, so only
  // host code sets it (a control applies its font to its widget).
  void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

  // The canvas or control this object is part of; scripts may not free such a part.
  void SetKeeper(const TObject* keeper) { keeper_ = keeper; }
  const TObject* Keeper() const override { return keeper_; }

 protected:
  void Changed() const {
    if (onChange_) onChange_();
  }
  // Raises ERangeError "<property> must be 0..<last>, not <value>": enumerations are stored
  // in bytes, so the published setter alone lets any byte through.
  static void CheckOrdinal(const char16_t* property, int value, int last);

 private:
  std::function<void()> onChange_;
  const TObject* keeper_ = nullptr;
};

}  // namespace kv
