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

TkvExpressionNode* TkvExpressionNode::Attach(std::unique_ptr<TkvExpressionNode> child) {
  std::unique_ptr<TkvExpressionNode>& slot = Left == nullptr ? Left : Right;
  if (slot != nullptr || child == nullptr) return nullptr;
  child->Parent = this;
  slot = std::move(child);
  return slot.get();
}

std::unique_ptr<TkvExpressionNode> TkvExpressionNode::Detach(TkvExpressionNode* child) {
  if (child == nullptr) return nullptr;
  if (child == Left.get()) return std::move(Left);
  if (child == Right.get()) return std::move(Right);
  return nullptr;
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

TkvDesignatorNode::TkvDesignatorNode(std::unique_ptr<TkvDesignator> designator)
    : Designator(std::move(designator)), ReadTarget(Designator.get()) {
  TkvDesignator* d = Designator.get();
  Roles = 0;  // the value is the designator's
  Kind = d->Kind;
  TypeName = d->TypeName;
  ReadOnly = d->ReadOnly;
  if (dynamic_cast<TkvVariableDesignator*>(d) != nullptr && d->FastPathKind == fpVariable &&
      d->RefItem != nullptr) {
    // The path reads and writes exactly its item (TkvVariableDesignator), so the item
    // stands in for it.
    ReadTarget = d->RefItem;
    Designator.reset();
  }
  if (TkvCustomVariable* plain = PlainValueItem(ReadTarget)) Direct = &plain->Value;
}

void TkvDesignatorNode::SetValue(const Variant& value) {
  if (Designator != nullptr) {
    Designator->SetValue(value);
  } else {
    ReadTarget->SetValue(value);
  }
}

TkvCustomVariable* TkvDesignatorNode::FirstStepRef() const {
  if (Designator == nullptr) return ReadTarget;
  return Designator->StepCount() > 0 ? Designator->StepAt(0)->Ref : nullptr;
}

TkvSetNode::TkvSetNode(std::unique_ptr<TkvSetExpression> set) : Set(std::move(set)) {
  Roles = 0;  // the value is the set's
  Kind = vkVariant;
}

int TkvOperatorNode::Priority() const { return OperatorInfo(OperatorKind).priority; }

// ---------------------------------------------------------------------------------------
// Building

TkvExpression::TkvExpression()
    : TkvCustomExpression(UString(), UString(), vkInteger),
      RootNode(std::make_unique<TNoneNode>()) {
  CurrentNode = RootNode.get();
}

TkvExpression::~TkvExpression() = default;

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

void TkvExpression::AddNode(std::unique_ptr<TkvExpressionNode> node) {
  node->Place = Place;
  if (CurrentNode == nullptr || !WantsOperand(CurrentNode)) {
    NoteBuildError(msg::ExprMissingOperator);
    return;
  }
  CurrentNode = CurrentNode->Attach(std::move(node));
}

void TkvExpression::AddConstant(const Variant& value) {
  AddNode(std::make_unique<TkvOperandNode>(value));
}

void TkvExpression::AddDesignator(std::unique_ptr<TkvDesignator> designator) {
  AddNode(std::make_unique<TkvDesignatorNode>(std::move(designator)));
}

void TkvExpression::AddSetConstructor(std::unique_ptr<TkvSetExpression> set) {
  AddNode(std::make_unique<TkvSetNode>(std::move(set)));
}

void TkvExpression::AddOperator(UStringView text) {
  const TkvOperatorInfo* info = FindOperator(text);
  if (info == nullptr) {
    NoteBuildError(FormatMessage(msg::ExprUnknownOperator, text));
    return;
  }
  std::unique_ptr<TkvExpressionNode> node = info->make();
  node->Place = Place;
  // Classified by the node rather than the text, so that "NOT" opens like "not".
  const TkvOperatorKind kind = static_cast<TkvOperatorNode*>(node.get())->OperatorKind;
  if (IsOpening(kind)) {
    AddNode(std::move(node));
  } else if (kind == okRightBracket) {
    CloseBracket(std::move(node));
  } else if (kind == okNone) {
    NoteBuildError(FormatMessage(msg::ExprUnknownOperator, text));
  } else {
    AddBinaryOperator(std::move(node));
  }
}

// The walk takes the node just completed as the start of the left operand, then climbs while
// the new operator binds no tighter than the one above; equal priorities therefore
// associate to the left. The placeholder (7) and an open bracket (6) stop every walk.
void TkvExpression::AddBinaryOperator(std::unique_ptr<TkvExpressionNode> node) {
  if (CurrentNode == RootNode.get()) {
    CurrentNode = RootNode->Attach(std::move(node));  // no left operand; Finish reports it
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
  std::unique_ptr<TkvExpressionNode> leftOperand = c->Detach(n);
  CurrentNode = c->Attach(std::move(node));
  CurrentNode->Attach(std::move(leftOperand));
}

// The bracket's content takes the bracket's place and becomes the current node, so the next
// operator takes the whole content as its left operand.
void TkvExpression::CloseBracket(std::unique_ptr<TkvExpressionNode> closing) {
  TkvExpressionNode* b = CurrentNode;
  while (b != nullptr && closing->Priority() >= b->Priority()) b = b->Parent;
  if (dynamic_cast<TLeftBracketNode*>(b) == nullptr) {
    NoteBuildError(msg::ExprUnmatchedBracket);
    return;
  }
  TkvExpressionNode* p = b->Parent;
  const std::unique_ptr<TkvExpressionNode> bracket = p->Detach(b);
  TkvExpressionNode* content = p->Attach(std::move(bracket->Left));
  if (content == nullptr) {
    NoteBuildError(msg::ExprEmptyBrackets);
    CurrentNode = p;  // keeps building possible; the expression is rejected anyway
    return;
  }
  CurrentNode = content;
}

UString TkvExpression::Finish() {
  TkvOperatorNode* rootOperator = AsOperator(RootNode.get());
  if (auto* placeholder = rootOperator != nullptr && rootOperator->OperatorKind == okNone
                              ? dynamic_cast<TNoneNode*>(rootOperator)
                              : nullptr) {
    RootNode = std::move(placeholder->Left);  // frees the placeholder
    if (RootNode != nullptr) RootNode->Parent = nullptr;
    CurrentNode = RootNode.get();
  }

  expr_check::Failure failure;
  const expr_check::TypeRecord type = expr_check::CheckTree(RootNode.get(), failure);
  Kind = type.Kind;
  TypeName = type.TypeName;
  const auto* single = As<TkvDesignatorNode>(RootNode.get());
  ReadOnly = single == nullptr || single->ReadOnly;

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
  const TkvDesignator* d = designatorNode->Designator.get();
  if (d == nullptr) return designatorNode->ReadTarget == variable;
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
  TkvOperatorNode* root = AsOperator(RootNode.get());
  if (root == nullptr) return nothing;
  // x strcat e folds like x + e: the compound statement adds, and adding concatenates when
  // x holds a string.
  const TkvOperatorKind kind = root->OperatorKind == okStrCat ? okPlus : root->OperatorKind;
  const bool concatenation = root->OperatorKind == okStrCat;
  if (kind != okPlus && kind != okMinus && kind != okMul && kind != okDivFloat) return nothing;
  if (root->Left == nullptr || root->Right == nullptr) return nothing;

  TkvExpressionNode* kept = nullptr;
  if (NamesVariable(root->Left.get(), target->RefItem)) {
    kept = root->Right.get();
  } else if (kind == okMul && NamesVariable(root->Right.get(), target->RefItem)) {
    kept = root->Left.get();
  } else if (kind == okPlus && !concatenation &&
             NamesVariable(root->Right.get(), target->RefItem) &&
             !(MayHoldString(target->Kind) && MayHoldString(root->Left->Kind))) {
    // The compound statement computes x + e; that equals e + x unless both may be strings,
    // which concatenate in order (s := 'pre' + s must not fold).
    kept = root->Left.get();
  }
  if (kept == nullptr) return nothing;

  RootNode = root->Detach(kept);  // frees the old root
  kept->Parent = nullptr;
  CurrentNode = kept;
  return kind;
}

TkvCustomVariable* TkvExpression::SingleOperand() const {
  if (auto* designatorNode = As<TkvDesignatorNode>(RootNode.get())) {
    return designatorNode->ReadTarget;
  }
  return RootNode != nullptr && AsOperator(RootNode.get()) == nullptr ? RootNode.get() : nullptr;
}

// ---------------------------------------------------------------------------------------
// Value

Variant TkvExpression::GetValue() {
  return RootNode != nullptr ? RootNode->GetValue() : Variant::Null();
}

void TkvExpression::SetValue(const Variant& value) {
  if (ReadOnly) return;
  if (auto* designatorNode = dynamic_cast<TkvDesignatorNode*>(RootNode.get())) {
    designatorNode->SetValue(value);
  }
}

}  // namespace kv
