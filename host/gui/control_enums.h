// The enumerations of the standard controls' properties, shared by the controls, the forms
// binding (which registers them under these names and orders) and the data-aware controls.
#pragma once

#include <cstdint>

#include "host/core/exceptions.h"
#include "host/core/ustring.h"

namespace kv {

enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout : uint8_t { tlTop, tlCenter, tlBottom };
enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };
enum TEditCharCase : uint8_t { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle : uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TComboBoxStyle : uint8_t {
  csDropDown,
  csSimple,
  csDropDownList,
  csOwnerDrawFixed,
  csOwnerDrawVariable,
};
enum TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };
enum TListBoxStyle : uint8_t { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

// A published enumeration setter receives any byte: values past the enumeration's last
// element raise ERangeError naming the property.
template <class E>
E CheckedElement(E value, E last, const char16_t* property) {
  if (value > last)
    throw ERangeError(UString(property) + u" out of range (" + IntToUStr(value) + u")");
  return value;
}

}  // namespace kv
