// The look-up table of one scope: each name to the first item of that name in the scope's
// order, so that a look-up in a large scope costs a hash instead of a walk over every item.
// Small scopes (most routines' locals) are walked: cheaper than hashing, and no table.
#pragma once

#include <cstddef>
#include <unordered_map>

#include "host/core/ustring.h"

namespace kv {

class TkvCustomVariable;
class TkvItemList;

class TkvNameIndex {
 public:
  // Scopes up to this many items are walked instead of indexed.
  static constexpr int kWalkLimit = 16;

  // Each call receives `items`, the scope's list, already changed.
  // After `item` was appended: it answers its name unless an earlier item does.
  void Added(TkvCustomVariable* item, const TkvItemList& items);
  // After `item` left: the next item of its name, if any, answers the name now.
  void Removed(const TkvCustomVariable* item, const TkvItemList& items);
  // After changes too many to follow one by one.
  void Rebuild(const TkvItemList& items);
  // Before the items go.
  void Clear();

  // The first item of `name` in `items` (SameText), or nullptr.
  TkvCustomVariable* Find(UStringView name, const TkvItemList& items) const;

 private:
  // Names compare as SameText does (code unit by code unit, after UpCase), so equal names
  // hash alike. Both accept views, so a look-up copies no name.
  struct CaseBlindHash {
    using is_transparent = void;
    std::size_t operator()(UStringView name) const;
  };
  struct CaseBlindEqual {
    using is_transparent = void;
    bool operator()(UStringView a, UStringView b) const;
  };

  // Invariant while indexed_: for every name of an item in the scope, the entry holds the
  // item of that name that comes first in the scope's order, and no entry names an item
  // outside the scope. Keys are copies, never views into an item's storage. While not
  // indexed_, first_ is empty.
  bool indexed_ = false;
  std::unordered_map<UString, TkvCustomVariable*, CaseBlindHash, CaseBlindEqual> first_;
};

}  // namespace kv
