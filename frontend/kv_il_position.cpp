#include "frontend/kv_il_position.h"

#include <utility>

namespace kv {

void TkvILPosition::Assign(const TkvXMLItem& element) {
  SourcePlace place;
  if (element.HeldPlace(place) && HasPlace(place)) {
    Assign(place);
  } else {
    element.AssignProp(u"pos", text_);
    isText_ = true;
  }
}

void TkvILPosition::AssignIfPresent(const TkvXMLItem& element) {
  SourcePlace place;
  if (element.HeldPlace(place) && HasPlace(place)) {
    Assign(place);
    return;
  }
  UString pos = element.Prop(u"pos");
  if (!pos.empty()) Assign(std::move(pos));
}

void TkvILPosition::Assign(SourcePlace place) {
  place_ = place;
  isText_ = false;
  textMade_ = false;
}

void TkvILPosition::Assign(UString text) {
  text_ = std::move(text);
  isText_ = true;
}

const UString& TkvILPosition::Text() const {
  if (!isText_ && !textMade_) {
    if (HasPlace(place_))
      AssignPlaceText(text_, place_);
    else
      text_.clear();
    textMade_ = true;
  }
  return text_;
}

}  // namespace kv
