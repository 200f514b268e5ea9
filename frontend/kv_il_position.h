// The IL compiler's current position: the `pos` of the element being compiled, which errors
// are reported at and compiled objects keep as their place.
//
// Elements the parser made hold their place as numbers, and so does the position: the
// "row:column" text is made only when a message or a copied element shows it. An element
// read from a document gives its `pos` text as written, and that text is what is reported.
#pragma once

#include "host/core/source_place.h"
#include "host/core/ustring.h"
#include "xml/kv_xml.h"

namespace kv {

class TkvILPosition {
 public:
  // The element's `pos`, empty when it has none.
  void Assign(const TkvXMLItem& element);
  // As Assign, but an element without `pos` leaves the position as it is.
  void AssignIfPresent(const TkvXMLItem& element);
  // A compiled object's place; no place is the empty text.
  void Assign(SourcePlace place);
  void Assign(UString text);

  SourcePlace Place() const { return isText_ ? ParsePlace(text_) : place_; }
  const UString& Text() const;

 private:
  SourcePlace place_;
  // The text is the position itself when isText_, else a cache of place_ made by Text.
  mutable UString text_;
  bool isText_ = true;
  mutable bool textMade_ = false;
};

}  // namespace kv
