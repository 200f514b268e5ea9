// The type check of a finished expression tree (internal to the expression unit).
#pragma once

#include "engine/kv_iexpression.h"

namespace kv::expr_check {

// The type of a node as the check passes it upward; the name is cut to the significant
// length of type names.
struct TypeRecord {
  TkvValueKind Kind = vkVariant;
  UString TypeName;
};

// The first failure in check order (left subtree, right subtree, node).
struct Failure {
  UString Position;
  UString Message;
  bool Failed() const { return !Message.empty(); }
};

// Checks the tree bottom-up, storing each operator node's result kind and its BothInteger
// and BothBoolean flags; a missing tree yields Variant.
TypeRecord CheckTree(TkvExpressionNode* root, Failure& failure);

}  // namespace kv::expr_check
