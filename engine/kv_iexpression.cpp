// Building expressions: each item is placed in the tree by operator priority as it arrives,
// brackets dissolve when they close, and Finish removes the placeholder root and type-checks
// the result. Evaluation of the nodes lives in kv_expression_eval.cpp, the type check in
// kv_expression_check.cpp.
#include "engine/kv_iexpression.h"

#include <array>
#include <type_traits>

#include "engine/kv_expression_check.h"
#include "engine/kv_fast_paths.h"
#include "engine/kv_iconst.h"

namespace kv {

namespace {

// A node whose position is unknown still has to make Finish fail: an empty result would read
// as success.
UString ReportedPosition(const UString& pos) { return pos.empty() ? UString(u"0:0") : pos; }

// dynamic_cast to a node class, asked first of the kind of node (operator or operand) that
// can be one, which is much cheaper: the compiler asks this of every expression it makes.
template <class Node>
Node* As(TkvExpressionNode* node) {
  if (node == nullptr) return nullptr;
  constexpr bool operatorClass = std::is_base_of_v<TkvOperatorNode, Node>;
  if ((AsOperator(node) != nullptr) != operatorClass) return nullptr;
  return dynamic_cast<Node*>(node);
}

bool IsOpening(TkvOperatorKind kind) {
  return OperatorInfo(kind).place == TkvOperatorPlace::Opening;
}

// Whether the next operand may attach to this node: an open placeholder, bracket or unary
// operator without its operand, or a binary operator still missing its right operand.
bool WantsOperand(const TkvExpressionNode* node) {
  const TkvOperatorNode* op = AsOperator(node);
  if (op == nullptr) return false;  // operands take no children
  switch (op->OperatorKind) {
    case okNone:
    case okLeftBracket:
    case okNot:
    case okUnMinus:
      return op->Left == nullptr;
    default:
      return op->Right == nullptr;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Nodes

TkvExpressionNode::~TkvExpressionNode() {
  delete Left;
  delete Right;
}

void TkvExpressionNode::Attach(TkvExpressionNode* child) {
  if (Left == nullptr) {
    Left = child;
  } else if (Right == nullptr) {
    Right = child;
  } else {
    return;  // a third child: callers check WantsOperand first, so this never drops one
  }
  if (child != nullptr) child->Parent = this;
}

void TkvExpressionNode::Detach(TkvExpressionNode* child) {
  if (child == Left) {
    Left = nullptr;
  } else if (child == Right) {
    Right = nullptr;
  }
}

TkvOperandNode::TkvOperandNode() { Roles = irValueInPlace; }

TkvOperandNode::TkvOperandNode(const Variant& constant) {
  Roles = irValueInPlace;
  Value = constant;
  if (FastPathsEnabled()) Direct = &Value;
  switch (constant.Type()) {
    case varBoolean:
      Kind = vkBoolean;
      break;
    case varSingle:
    case varDouble:
    case varCurrency:
      Kind = vkFloat;
      break;
    case varOleStr:
    case varString:
      Kind = vkString;
      break;
    default:
      Kind = vkInteger;  // dates, Empty and Null included
      break;
  }
}

TkvDesignatorNode::TkvDesignatorNode(TkvDesignator* designator)
    : Designator(designator), ReadTarget(designator) {
  Roles = 0;  // the value is the designator's
  Kind = designator->Kind;
  TypeName = designator->TypeName;
  if (dynamic_cast<TkvVariableDesignator*>(designator) != nullptr &&
      designator->FastPathKind == fpVariable && designator->RefItem != nullptr) {
    ReadTarget = designator->RefItem;
  }
  if (TkvCustomVariable* plain = PlainValueItem(ReadTarget)) Direct = &plain->Value;
}

TkvDesignatorNode::~TkvDesignatorNode() { delete Designator; }

TkvSetNode::TkvSetNode(TkvSetExpression* set) : Set(set) {
  Roles = 0;  // the value is the set's
  Kind = vkVariant;
}

TkvSetNode::~TkvSetNode() { delete Set; }

int TkvOperatorNode::Priority() const { return OperatorInfo(OperatorKind).priority; }

// ---------------------------------------------------------------------------------------
// Building

TkvExpression::TkvExpression() : TkvCustomExpression(UString(), UString(), vkInteger) {
  RootNode = new TNoneNode;
  CurrentNode = RootNode;
}

TkvExpression::~TkvExpression() { delete RootNode; }

TkvExpression::Faults& TkvExpression::NoteFaults() {
  if (faults_ == nullptr) faults_ = std::make_unique<Faults>();
  return *faults_;
}

const UString& TkvExpression::FinishError() const {
  static const UString kNone;
  return faults_ != nullptr ? faults_->finishError : kNone;
}

void TkvExpression::NoteBuildError(UStringView message) {
  Faults& faults = NoteFaults();
  if (!faults.buildError.empty()) return;  // the first fault is the one the user fixes first
  faults.buildError = UString(message);
  faults.buildErrorPos = ReportedPosition(KnownPlaceText(Place));
}

void TkvExpression::AddNode(TkvExpressionNode* node) {
  node->Place = Place;
  if (CurrentNode == nullptr || !WantsOperand(CurrentNode)) {
    NoteBuildError(msg::ExprMissingOperator);
    delete node;
    return;
  }
  CurrentNode->Attach(node);
  CurrentNode = node;
}

void TkvExpression::AddConstant(const Variant& value) { AddNode(new TkvOperandNode(value)); }

void TkvExpression::AddDesignator(TkvDesignator* designator) {
  AddNode(new TkvDesignatorNode(designator));
}

void TkvExpression::AddSetConstructor(TkvSetExpression* set) { AddNode(new TkvSetNode(set)); }

void TkvExpression::AddOperator(UStringView text) {
  const TkvOperatorInfo* info = FindOperator(text);
  if (info == nullptr) {
    NoteBuildError(FormatMessage(msg::ExprUnknownOperator, text));
    return;
  }
  TkvExpressionNode* node = info->make();
  node->Place = Place;
  // Classified by the node rather than the text, so that "NOT" opens like "not".
  const TkvOperatorKind kind = static_cast<TkvOperatorNode*>(node)->OperatorKind;
  if (IsOpening(kind)) {
    AddNode(node);
  } else if (kind == okRightBracket) {
    CloseBracket(node);
  } else if (kind == okNone) {
    NoteBuildError(FormatMessage(msg::ExprUnknownOperator, text));
    delete node;
  } else {
    AddBinaryOperator(node);
  }
}

// The walk takes the node just completed as the start of the left operand, then climbs while
// the new operator binds no tighter than the one above; equal priorities therefore
// associate to the left. The placeholder (7) and an open bracket (6) stop every walk.
void TkvExpression::AddBinaryOperator(TkvExpressionNode* node) {
  if (CurrentNode == RootNode) {
    RootNode->Attach(node);  // no left operand; Finish reports it
    CurrentNode = node;
    return;
  }
  TkvExpressionNode* n = nullptr;
  TkvExpressionNode* c = CurrentNode;
  if (c->Priority() != 6) {
    n = c;
    c = c->Parent;
  }
  while (node->Priority() >= c->Priority()) {
    n = c;
    c = c->Parent;
  }
  c->Detach(n);
  c->Attach(node);
  node->Attach(n);
  CurrentNode = node;
}

// The bracket's content takes the bracket's place and becomes the current node, so the next
// operator takes the whole content as its left operand.
void TkvExpression::CloseBracket(TkvExpressionNode* closing) {
  TkvExpressionNode* b = CurrentNode;
  while (b != nullptr && closing->Priority() >= b->Priority()) b = b->Parent;
  delete closing;
  const auto* bracket = dynamic_cast<TLeftBracketNode*>(b);
  if (bracket == nullptr) {
    NoteBuildError(msg::ExprUnmatchedBracket);
    return;
  }
  TkvExpressionNode* p = b->Parent;
  TkvExpressionNode* content = b->Left;
  p->Detach(b);
  p->Attach(content);
  b->Left = nullptr;
  delete b;
  if (content == nullptr) {
    NoteBuildError(msg::ExprEmptyBrackets);
    CurrentNode = p;  // keeps building possible; the expression is rejected anyway
    return;
  }
  CurrentNode = content;
}

UString TkvExpression::Finish() {
  TkvOperatorNode* rootOperator = AsOperator(RootNode);
  if (auto* placeholder = rootOperator != nullptr && rootOperator->OperatorKind == okNone
                              ? dynamic_cast<TNoneNode*>(rootOperator)
                              : nullptr) {
    TkvExpressionNode* t = placeholder->Left;
    placeholder->Detach(t);
    delete placeholder;
    if (t != nullptr) t->Parent = nullptr;
    RootNode = t;
    CurrentNode = t;
  }

  expr_check::Failure failure;
  const expr_check::TypeRecord type = expr_check::CheckTree(RootNode, failure);
  Kind = type.Kind;
  TypeName = type.TypeName;
  const auto* single = As<TkvDesignatorNode>(RootNode);
  ReadOnly = single == nullptr || single->Designator->ReadOnly;

  if (faults_ != nullptr && !faults_->buildError.empty()) {
    faults_->finishError = faults_->buildError;
    return faults_->buildErrorPos;
  }
  if (RootNode == nullptr) {
    NoteFaults().finishError = msg::ExprEmpty;
    return ReportedPosition(KnownPlaceText(Place));
  }
  if (failure.Failed()) {
    NoteFaults().finishError = failure.Message;
    return ReportedPosition(failure.Position);
  }
  if (faults_ != nullptr) faults_->finishError.clear();
  return UString();
}

// ---------------------------------------------------------------------------------------
// Shortcuts for the assignment statement

namespace {

bool NamesVariable(const TkvExpressionNode* node, const TkvCustomVariable* variable) {
  const auto* designatorNode = dynamic_cast<const TkvDesignatorNode*>(node);
  if (designatorNode == nullptr) return false;
  const TkvDesignator* d = designatorNode->Designator;
  return dynamic_cast<const TkvVariableDesignator*>(d) != nullptr &&
         d->FastPathKind == fpVariable && d->RefItem == variable;
}

bool MayHoldString(TkvValueKind kind) {
  return kind == vkString || kind == vkChar || kind == vkVariant;
}

}  // namespace

TkvOperatorKind TkvExpression::FoldSelfAssignment(TkvDesignator* target) {
  constexpr TkvOperatorKind nothing = okNone;
  if (!FastPathsEnabled()) return nothing;
  const auto* variableTarget = dynamic_cast<TkvVariableDesignator*>(target);
  if (variableTarget == nullptr || target->FastPathKind != fpVariable ||
      target->RefItem == nullptr) {
    return nothing;
  }
  TkvOperatorNode* root = AsOperator(RootNode);
  if (root == nullptr) return nothing;
  const TkvOperatorKind kind = root->OperatorKind;
  if (kind != okPlus && kind != okMinus && kind != okMul && kind != okDivFloat) return nothing;
  if (root->Left == nullptr || root->Right == nullptr) return nothing;

  TkvExpressionNode* kept = nullptr;
  if (NamesVariable(root->Left, target->RefItem)) {
    kept = root->Right;
  } else if (kind == okMul && NamesVariable(root->Right, target->RefItem)) {
    kept = root->Left;
  } else if (kind == okPlus && dynamic_cast<TStrCatNode*>(root) == nullptr &&
             NamesVariable(root->Right, target->RefItem) &&
             !(MayHoldString(target->Kind) && MayHoldString(root->Left->Kind))) {
    // The compound statement computes x + e; that equals e + x unless both may be strings,
    // which concatenate in order (s := 'pre' + s must not fold).
    kept = root->Left;
  }
  if (kept == nullptr) return nothing;

  root->Detach(kept);
  kept->Parent = nullptr;
  delete root;
  RootNode = kept;
  CurrentNode = kept;
  return kind;
}

TkvCustomVariable* TkvExpression::SingleOperand() const {
  if (auto* designatorNode = As<TkvDesignatorNode>(RootNode)) {
    return designatorNode->ReadTarget;
  }
  return RootNode != nullptr && AsOperator(RootNode) == nullptr ? RootNode : nullptr;
}

// ---------------------------------------------------------------------------------------
// Value

Variant TkvExpression::GetValue() {
  return RootNode != nullptr ? RootNode->GetValue() : Variant::Null();
}

void TkvExpression::SetValue(const Variant& value) {
  if (ReadOnly) return;
  if (auto* designatorNode = dynamic_cast<TkvDesignatorNode*>(RootNode)) {
    designatorNode->Designator->SetValue(value);
  }
}

}  // namespace kv
