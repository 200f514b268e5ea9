// The IL compiler: designators and the resolution of names.
//
// A `dsgn` element becomes a chain of steps, each naming the item it calls. The first name
// is looked up through the open with scopes, then the scope and its parents; every later
// name is a member of what the step before yields, known from that step's type: a class's
// member or default property, a character of a string, an element of an array. A Variant
// whose value is known now (a variable's current value) is taken by that value's type; one
// that holds no value yet puts the whole path off until its first use, when the value is
// there (CompileLateDesignator).
#include <utility>

#include "frontend/kv_il_compiler.h"
#include "frontend/kv_il_frontend.h"
#include "frontend/kv_il_messages.h"
#include "host/core/exceptions.h"
#include "host/core/handles.h"

namespace kv {

namespace {

// Items whose value is data the compiler may read now. Reading any other item (a routine,
// a property, an indexing helper) would run host or script code at compile time, without
// its arguments.
bool HoldsValue(const TkvCustomVariable& item) {
  return dynamic_cast<const TkvVariable*>(&item) != nullptr ||
         dynamic_cast<const TkvParamItem*>(&item) != nullptr;
}

// The script-level name of a Variant's type, for messages.
UString VarTypeName(const Variant& value) {
  switch (value.Type()) {
    case varSingle:
    case varDouble:
      return u"Double";
    case varCurrency:
      return u"Currency";
    case varDate:
      return u"TDateTime";
    case varBoolean:
      return u"Boolean";
    default:
      return u"Variant (" + IntToUStr(value.Type()) + u")";
  }
}

// The class of the object a value refers to (an unconstructed instance counts as its
// class); raises for nil and for a number that is no live object. Only an integer can be an
// object reference: a real or a Boolean rounded to one would name some unrelated object.
UString ClassNameOf(const Variant& value) {
  const uint16_t type = value.Type();
  if (type != varInteger && type != varSmallint && type != varByte)
    throw EVariantError(u"Only objects have members: this Variant holds a value of type " +
                        VarTypeName(value));
  const int32_t handle = value.ToInt();
  if (const TClass* cls = handles::UnconstructedClass(handle)) return cls->Name();
  return handles::ToObject(handle)->ClassName();
}

// The compiler keeps places as numbers: the step is made without a place text to read.
TkvDesignatorItem* AddStepAt(TkvDesignator& dsgn, TkvCustomVariable* ref, SourcePlace place) {
  TkvDesignatorItem* step = dsgn.AddStep(ref, UString());
  step->Place = place;
  return step;
}

TkvDesignatorItem& LastStep(const TkvDesignator& dsgn) {
  return *dsgn.StepAt(dsgn.StepCount() - 1);
}

// A path compiled for the value a Variant holds now keeps its element, to be compiled again
// when the Variant holds a value of another shape.
void KeepForRecompiling(TkvDesignator& dsgn, const TkvXMLItem& element) {
  auto copy = std::make_unique<TkvXMLItem>();
  copy->AssignTree(&element);
  dsgn.LateCode = std::make_unique<TkvILDeferredCode>(std::move(copy));
}

}  // namespace

TkvCustomVariable* TkvILCompiler::ResolveIdentifier(UStringView name, TkvScript& scope) {
  if (TkvCustomVariable* item = scope.FindItem(name)) return item;
  if (p_.declareVars_) Raise(ilmsg::UndeclaredIdentifier(name));
  auto variable = std::make_unique<TkvVariable>(UString(name), UString(), vkVariant);
  TkvCustomVariable* declared = variable.get();
  scope.AddItem(variable.release());
  return declared;
}

std::unique_ptr<TkvDesignator> TkvILCompiler::CompileDesignator(TkvXMLItem& element,
                                                                TkvScript& scope, Mode mode) {
  if (!IsElement(element, u"dsgn")) Fail(element, ilmsg::UnexpectedElement(element.Name()));
  Nesting nesting(*this, element, 1);
  // Only the designator being completed is late: the designators in its arguments may
  // still be put off until their own first use.
  const bool late = std::exchange(late_, false);
  auto dsgn = std::make_unique<TkvDesignator>(&scope);
  for (int i = 0; i < element.Count(); ++i) {
    TkvXMLItem& child = *element.Items(i);
    SetPosition(child);
    UString buffer;
    const UStringView name = ElementName(child, buffer);
    if (name == u"node") {
      const UString text = NameText(child);
      const StepResult result = dsgn->StepCount() == 0
                                    ? CompileFirstStep(element, text, *dsgn, scope, mode)
                                    : CompileLaterStep(element, text, *dsgn, scope, late);
      if (result == StepResult::Finished) return dsgn;
    } else if (name == u"expr") {
      if (dsgn->StepCount() == 0) Fail(element, ilmsg::IncompleteElement(element.Name()));
      std::unique_ptr<TkvExpression> argument = CompileExpression(child, scope);
      LastStep(*dsgn).AddItem(argument.release());
    } else if (name == u"addr") {
      CompileAddress(element, *dsgn, scope);
      break;  // "@" + name is the whole designator
    } else {
      Fail(child, ilmsg::UnexpectedElement(child.Name()));
    }
  }
  if (dsgn->StepCount() == 0) Fail(element, ilmsg::IncompleteElement(element.Name()));
  if (dsgn->LateGuard != nullptr && mode == TkvILParser::dmPlain)
    KeepForRecompiling(*dsgn, element);
  if (mode == TkvILParser::dmFree) AppendFree(*dsgn);
  dsgn->Classify();
  dsgn = Specialise(std::move(dsgn), scope);
  CheckArguments(*dsgn);
  return dsgn;
}

TkvILCompiler::StepResult TkvILCompiler::CompileFirstStep(TkvXMLItem& element, const UString& name,
                                                          TkvDesignator& dsgn, TkvScript& scope,
                                                          Mode mode) {
  bool resolved = false;
  if (ResolveInWithScopes(element, name, dsgn, scope, resolved) == StepResult::Finished) {
    return StepResult::Finished;
  }
  if (!resolved) AddStepAt(dsgn, ResolveIdentifier(name, scope), p_.currentPosition_.Place());
  if (mode == TkvILParser::dmConstructor) {
    auto* cls = dynamic_cast<TkvClassVariable*>(LastStep(dsgn).Ref);
    if (cls == nullptr) Raise(ilmsg::ClassTypeRequired);
    TkvCustomVariable* create = cls->FindMember(u"Create");
    if (create == nullptr) Raise(ilmsg::UndeclaredIdentifier(u"Create"));
    AddStepAt(dsgn, create, p_.currentPosition_.Place());
  }
  return StepResult::Continue;
}

// Innermost scope first. Inside a with on a class-typed object its members hide variables
// of the same name; inside a with on a Variant an ordinary identifier wins, and any other
// name is taken as a member of the Variant's value, resolved at first use.
TkvILCompiler::StepResult TkvILCompiler::ResolveInWithScopes(TkvXMLItem& element,
                                                             const UString& name,
                                                             TkvDesignator& dsgn, TkvScript& scope,
                                                             bool& resolved) {
  for (size_t k = p_.withList_.size(); k-- > 0;) {
    const UString& hidden = p_.withList_[k].first;
    TkvCustomVariable* object = p_.withList_[k].second->HiddenVariable;
    if (scope.FindLocalItem(hidden) != object) continue;  // opened in another scope
    if (object->Kind == vkVariant) {
      if (scope.FindItem(name) != nullptr) return StepResult::Continue;
      AddStepAt(dsgn, object, p_.currentPosition_.Place());
      dsgn.Classify();
      Defer(dsgn, element, &hidden);
      return StepResult::Finished;
    }
    TkvCustomVariable* member = RequireGlobalClass(object->TypeName).FindMember(name);
    if (member == nullptr) continue;
    AddStepAt(dsgn, object, p_.currentPosition_.Place());
    AddStepAt(dsgn, member, p_.currentPosition_.Place());
    resolved = true;
    return StepResult::Continue;
  }
  return StepResult::Continue;
}

TkvILCompiler::StepResult TkvILCompiler::CompileLaterStep(TkvXMLItem& element, const UString& name,
                                                          TkvDesignator& dsgn, TkvScript& scope,
                                                          bool late) {
  TkvDesignatorItem& previous = LastStep(dsgn);
  TkvCustomVariable& before = *previous.Ref;
  const SourcePlace pos = p_.currentPosition_.Place();
  const bool index = name == u"[";
  TkvValueKind kind = before.Kind;
  UString typeName = before.TypeName;
  if (kind == vkConstructor) {
    // TStringList.Create.Add(...): a constructor yields an object of the class before it.
    kind = vkClass;
    typeName = dsgn.StepCount() >= 2 ? dsgn.StepAt(dsgn.StepCount() - 2)->Ref->TypeName : UString();
  }

  if (kind == vkVariant && HoldsValue(before)) {
    const Variant value = before.GetValue();
    if (value.IsNull() || value.IsEmpty()) {
      if (late) {
        Raise(index ? UString(ilmsg::NullVariantIndex) : ilmsg::NullVariantMember(name));
      }
      dsgn.Classify();
      Defer(dsgn, element, nullptr);
      return StepResult::Finished;
    }
    dsgn.LateGuard = &before;
    dsgn.LateShape = ShapeOf(value);
    if (value.IsString()) {
      kind = vkString;
    } else if (value.Type() == varDispatch) {
      Raise(ilmsg::OleNotSupported);
    } else if (value.IsArray()) {
      if (!index) Raise(ilmsg::IndexRequired);
      AddStepAt(dsgn, ResolveIdentifier(u"__ArrayHelper", scope), pos);
      return StepResult::Continue;
    } else {
      typeName = ClassNameOf(value);
      kind = vkClass;
    }
  }

  // An indexed property takes the "[" that follows it: the index expressions become its
  // own arguments.
  auto* method = dynamic_cast<TkvMethodHelper*>(&before);
  if (method != nullptr && method->IsIndexedProperty && previous.Marker == 0) {
    previous.Marker = 1;
    p_.currentPosition_.Assign(previous.Place);
    if (!index) Raise(ilmsg::IndexRequired);
    return StepResult::Continue;
  }

  switch (kind) {
    case vkString:
      if (!index) Raise(ilmsg::StringsHaveNoMembers);
      AddStepAt(dsgn, ResolveIdentifier(u"__StringHelper", scope), pos);
      break;
    case vkClass: {
      TkvClassVariable& cls = RequireGlobalClass(typeName);
      if (!index) {
        TkvCustomVariable* member = cls.FindMember(name);
        if (member == nullptr) Raise(ilmsg::UndeclaredIdentifier(name));
        AddStepAt(dsgn, member, pos);
      } else {
        if (cls.DefaultProperty == nullptr) {
          Raise(FormatMessage(ilmsg::NoDefaultProperty, typeName));
        }
        AddStepAt(dsgn, cls.DefaultProperty, pos)->Marker = 1;
      }
      break;
    }
    case vkVariant:
      // Only a value computed at run time (a function or property result) gets here.
      Raise(ilmsg::VariantResultMembers);
    case vkArray: {
      if (!index) Raise(ilmsg::IndexRequired);
      TkvCustomVariable* helper = dynamic_cast<TkvArrayHelper*>(before.RefItem);
      if (helper == nullptr) {
        // An array without declared dimensions (a parameter or variable of type Array) is
        // indexed by the scope's general helper, which reads the item's stored value.
        if (!HoldsValue(before)) Raise(ilmsg::ComputedArrayIndex);
        helper = ResolveIdentifier(u"__ArrayHelper", scope);
      }
      AddStepAt(dsgn, helper, pos);
      break;
    }
    default:
      Raise(ilmsg::ArrayTypeRequired);
  }
  return StepResult::Continue;
}

// "@" + name yields the name as a string and looks nothing up.
void TkvILCompiler::CompileAddress(TkvXMLItem& element, TkvDesignator& dsgn, TkvScript& scope) {
  if (element.Count() != 2 || dsgn.StepCount() != 0 || !IsElement(*element.Items(0), u"addr") ||
      !IsElement(*element.Items(1), u"node")) {
    Raise(ilmsg::VariableRequired);
  }
  TkvXMLItem& node = *element.Items(1);
  SetPosition(node);
  auto text = std::make_unique<TkvstringVariable>(UString(), u"String", vkString);
  text->SetValue(Variant(node.Prop(u"text")));
  TkvCustomVariable* item = text.get();
  scope.AddItem(text.release());
  AddStepAt(dsgn, item, p_.currentPosition_.Place());
}

void TkvILCompiler::AppendFree(TkvDesignator& dsgn) {
  const TkvValueKind kind = LastStep(dsgn).Ref->Kind;
  if (kind != vkClass && kind != vkVariant && kind != vkConstructor) {
    Raise(ilmsg::ClassTypeRequired);
  }
  TkvCustomVariable* free = RequireGlobalClass(u"TObject").FindMember(u"Free");
  if (free == nullptr) Raise(ilmsg::UndeclaredIdentifier(u"Free"));
  AddStepAt(dsgn, free, p_.currentPosition_.Place());
}

void TkvILCompiler::Defer(TkvDesignator& dsgn, const TkvXMLItem& element,
                          const UString* firstName) {
  auto copy = std::make_unique<TkvXMLItem>();
  copy->AssignTree(&element);
  if (firstName != nullptr) {
    UString text = u"text=\"" + EncodeAttrValue(*firstName) + u"\" pos=\"" +
                   EncodeAttrValue(p_.currentPosition_.Text()) + u"\"";
    copy->InsertItem(0, new TkvXMLItem(u"node", std::move(text)));
  }
  dsgn.Deferred = std::make_unique<TkvILDeferredCode>(std::move(copy));
}

std::unique_ptr<TkvDesignator> TkvILCompiler::Specialise(std::unique_ptr<TkvDesignator> dsgn,
                                                         TkvScript& scope) {
  std::unique_ptr<TkvDesignator> fast;
  switch (dsgn->FastPathKind) {
    case fpVariable:
      fast = std::make_unique<TkvVariableDesignator>(&scope);
      break;
    case fpStringChar:
      fast = std::make_unique<TkvStringDesignator>(&scope);
      break;
    case fpArrayElement:
      fast = std::make_unique<TkvArrayDesignator>(&scope);
      break;
    default:
      return dsgn;
  }
  fast->TakeOver(*dsgn);
  return fast;
}

// Omitted optional arguments are supplied from the parameters' defaults, so every step
// holds one argument per parameter. An argument's type error is reported at the
// argument's own position (its last item).
void TkvILCompiler::CheckArguments(TkvDesignator& dsgn) {
  for (int i = 0; i < dsgn.StepCount(); ++i) {
    TkvDesignatorItem& step = *dsgn.StepAt(i);
    TkvCustomVariable* callee = step.Ref;
    if (callee == nullptr || callee->HasRole(irDesignator)) continue;
    p_.currentPosition_.Assign(step.Place);
    const int params = callee->ItemCount();
    if (step.ItemCount() < callee->RequiredParamCount()) Raise(ilmsg::NotEnoughParameters);
    if (step.ItemCount() > params) Raise(ilmsg::TooManyParameters);
    for (int j = step.ItemCount(); j < params; ++j) {
      auto fill = std::make_unique<TkvExpression>();
      fill->Place = step.Place;
      fill->AddConstant(callee->ParamAt(j)->DefaultValue);
      fill->Finish();
      step.AddItem(fill.release());
    }
    for (int j = 0; j < params; ++j) {
      TkvCustomExpression& argument = *step.ArgAt(j);
      p_.currentPosition_.Assign(argument.Place);
      CheckAssignable(*callee->ParamAt(j), argument);
    }
  }
}

}  // namespace kv
