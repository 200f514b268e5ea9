// The IL compiler: expressions and set constructors.
//
// An `expr` element is a flat sequence of operands and operators in source order (a nested
// `expr` stands between the operators "(" and ")" and is read as part of the same
// sequence); the expression object places each item by priority as it arrives. Before an
// item is handed over, its shape is checked: every operator must get its operands. The
// grammar can leave an operator without one (in `a * b * -c` the loop of multiplying
// operators keeps the second "*" after its factor failed), and such an expression is
// refused with "Expression expected" at that operator instead of compiling into a tree that
// cannot be evaluated.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "engine/kv_iconst.h"
#include "engine/kv_operators.h"
#include "frontend/kv_il_compiler.h"
#include "frontend/kv_il_messages.h"
#include "host/core/exceptions.h"
#include "host/core/number_text.h"

namespace kv {

namespace {

enum class OperatorRole { Opening, Closing, Binary, Unknown };

OperatorRole RoleOf(UStringView op) {
  const TkvOperatorInfo* info = FindOperator(op);
  if (info == nullptr) return OperatorRole::Unknown;
  switch (info->place) {
    case TkvOperatorPlace::Opening:
      return OperatorRole::Opening;
    case TkvOperatorPlace::Closing:
      return OperatorRole::Closing;
    case TkvOperatorPlace::Binary:
      return OperatorRole::Binary;
    default:
      return OperatorRole::Unknown;  // the builder's placeholder is no operator of the source
  }
}

// The items of an `expr` element in source order, nested `expr` elements included (each
// before its own items), gathered without recursion.
std::vector<TkvXMLItem*> FlattenExpression(TkvXMLItem& expr) {
  std::vector<TkvXMLItem*> items;
  items.reserve(std::size_t(expr.Count()) * 2);  // most expressions are flat or nearly
  std::vector<std::pair<TkvXMLItem*, int>> open{{&expr, 0}};
  while (!open.empty()) {
    auto& [element, next] = open.back();
    if (next >= element->Count()) {
      open.pop_back();
      continue;
    }
    TkvXMLItem* item = element->Items(next++);
    items.push_back(item);
    if (IsElement(*item, u"expr")) open.emplace_back(item, 0);
  }
  return items;
}

// Whether `item` is the decimal literal 2147483648, which alone is too large for Integer
// (a double) but with a minus in front is the Integer minimum.
bool IsIntegerMinimumMagnitude(const TkvXMLItem& item) {
  if (!IsElement(item, u"number")) return false;
  const UString text = item.Prop(u"text");
  if (text.empty() || text.find_first_not_of(u"0123456789") != UString::npos) return false;
  int32_t value = 0;
  return !TryTextToInt32(text, value) && TryTextToInt32(u"-" + text, value);
}

}  // namespace

// Checks that the operators of one expression get their operands, item by item, so that
// the first fault in source order is the one reported.
class TkvExpressionShape {
 public:
  // `fail` raises a message at an element's position.
  using Fail = std::function<void(const TkvXMLItem&, const UString&)>;
  explicit TkvExpressionShape(Fail fail) : fail_(std::move(fail)) {}

  void Operand(const TkvXMLItem& item) {
    if (!expectOperand_) fail_(item, UString(msg::ExprMissingOperator));
    expectOperand_ = false;
    waiting_ = nullptr;
  }
  void Operator(const TkvXMLItem& item, OperatorRole role) {
    switch (role) {
      case OperatorRole::Opening:
        if (!expectOperand_) fail_(item, UString(msg::ExprMissingOperator));
        waiting_ = &item;
        if (IsBracket(item)) ++openBrackets_;
        break;
      case OperatorRole::Closing:
        if (expectOperand_) MissingOperand(item);
        if (openBrackets_ == 0) fail_(item, UString(msg::ExprUnmatchedBracket));
        --openBrackets_;
        break;
      case OperatorRole::Binary:
        if (expectOperand_) MissingOperand(item);
        expectOperand_ = true;
        waiting_ = &item;
        break;
      case OperatorRole::Unknown:
        fail_(item, FormatMessage(msg::ExprUnknownOperator, item.Prop(u"text")));
    }
  }
  void End(const TkvXMLItem& expr, const TkvXMLItem* last) {
    if (expectOperand_) MissingOperand(expr);
    if (openBrackets_ > 0) fail_(last != nullptr ? *last : expr, UString(ilmsg::MissingBracket));
  }

 private:
  static bool IsBracket(const TkvXMLItem& item) { return item.Prop(u"text") == u"("; }
  // Reported at the operator that waits for the operand, else where it was noticed.
  void MissingOperand(const TkvXMLItem& noticedAt) {
    fail_(waiting_ != nullptr ? *waiting_ : noticedAt, UString(ilmsg::ExpressionExpected));
  }

  Fail fail_;
  bool expectOperand_ = true;
  const TkvXMLItem* waiting_ = nullptr;  // the operator whose operand comes next
  int openBrackets_ = 0;
};

std::unique_ptr<TkvExpression> TkvILCompiler::CompileExpression(TkvXMLItem& element,
                                                                TkvScript& scope) {
  if (!IsElement(element, u"expr")) Fail(element, ilmsg::UnexpectedElement(element.Name()));
  const std::vector<TkvXMLItem*> items = FlattenExpression(element);
  int operators = 0;
  for (const TkvXMLItem* item : items) operators += IsElement(*item, u"op") ? 1 : 0;
  Nesting nesting(*this, element, 1 + operators);

  TkvExpressionShape shape(
      [this](const TkvXMLItem& at, const UString& message) { Fail(at, message); });
  auto expr = std::make_unique<TkvExpression>();
  for (size_t k = 0; k < items.size(); ++k) {
    TkvXMLItem* item = items[k];
    SetPosition(*item);
    expr->Place = p_.currentPosition_.Place();
    UString buffer;
    const UStringView name = ElementName(*item, buffer);
    if (name == u"expr") continue;  // its items follow
    if (name == u"op") {
      const UString op = LowerCase(item->Prop(u"text"));
      shape.Operator(*item, RoleOf(op));
      // Unary minus binds tighter than every operator, so reading the sign with its literal
      // gives the same value, and -2147483648 stays an Integer.
      if (op == u"unminus" && k + 1 < items.size() && IsIntegerMinimumMagnitude(*items[k + 1])) {
        shape.Operand(*items[++k]);
        expr->AddConstant(Variant(INT32_MIN));
        continue;
      }
      expr->AddOperator(op);
    } else {
      shape.Operand(*item);
      AddExpressionItem(*expr, *item, scope);
    }
  }
  shape.End(element, items.empty() ? nullptr : items.back());

  const UString errorPos = expr->Finish();
  if (!errorPos.empty()) {
    p_.currentPosition_.Assign(errorPos);
    Raise(expr->FinishError().empty() ? UString(ilmsg::IncompatibleTypesPlain)
                                      : expr->FinishError());
  }
  return expr;
}

void TkvILCompiler::AddExpressionItem(TkvExpression& expr, TkvXMLItem& item, TkvScript& scope) {
  UString buffer;
  const UStringView name = ElementName(item, buffer);
  if (name == u"number" || name == u"string") {
    expr.AddConstant(ParseLiteralValue(item.Prop(u"text")));
  } else if (name == u"dsgn") {
    expr.AddDesignator(CompileDesignator(item, scope, TkvILParser::dmPlain));
  } else if (name == u"set") {
    expr.AddSetConstructor(CompileSetConstructor(item, scope));
  } else if (name == u"new") {
    expr.AddDesignator(CompileDesignator(Child(item, 0), scope, TkvILParser::dmConstructor));
  } else {
    Fail(item, ilmsg::UnexpectedElement(item.Name()));
  }
}

// A range is the empty entry between its two bounds: `1, 3..5` is 1, 3, (range), 5.
std::unique_ptr<TkvSetExpression> TkvILCompiler::CompileSetConstructor(TkvXMLItem& element,
                                                                       TkvScript& scope) {
  if (!IsElement(element, u"set")) Fail(element, ilmsg::UnexpectedElement(element.Name()));
  Nesting nesting(*this, element, 1);
  auto set = std::make_unique<TkvSetExpression>();
  set->Kind = vkVariant;
  enum { kElementDone, kAfterSingle, kAfterRange } state = kElementDone;
  const TkvXMLItem* range = nullptr;
  for (int i = 0; i < element.Count(); ++i) {
    TkvXMLItem& child = *element.Items(i);
    if (IsElement(child, u"expr")) {
      set->AddElement(CompileExpression(child, scope).release());
      state = state == kAfterRange ? kElementDone : kAfterSingle;
    } else if (IsElement(child, u"range")) {
      if (state != kAfterSingle) Fail(child, ilmsg::ExpressionExpected);
      set->AddElement(nullptr);
      state = kAfterRange;
      range = &child;
    } else {
      Fail(child, ilmsg::UnexpectedElement(child.Name()));
    }
  }
  if (state == kAfterRange) Fail(*range, ilmsg::ExpressionExpected);
  return set;
}

}  // namespace kv
