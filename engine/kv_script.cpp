// The script object: items and scopes, registration, compile and run, the per-statement hook.
#include <unordered_set>
#include <utility>

#include "engine/kv_error_frames.h"
#include "engine/kv_iconst.h"
#include "engine/kv_member_helpers.h"
#include "engine/kv_registration_checks.h"
#include "engine/kv_statements.h"
#include "host/core/class_builder.h"
#include "host/core/handles.h"

namespace kv {

KV_DEFINE_CLASS(TkvScript, TComponent) {
  c.Constructor();
  c.Property("Lines", &TkvScript::Lines, &TkvScript::SetLines);
  c.Property("SyntaxType", &TkvScript::SyntaxType, &TkvScript::SetSyntaxType);
  c.Event(
      "OnRunLine", "TkvRunLineEvent",
      [](const TkvScript& s) -> TMethod { return s.OnRunLine.Method(); },
      [](TkvScript& s, const TMethod& method) { s.OnRunLine = method; });
}

namespace {

UStringView TrimBlanks(UStringView text) {
  while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
  return text;
}

// The names of a comma list, trimmed; empty names are left out.
std::vector<UString> SplitNames(UStringView names) {
  std::vector<UString> result;
  size_t start = 0;
  while (start <= names.size()) {
    size_t comma = names.find(u',', start);
    if (comma == UStringView::npos) comma = names.size();
    UStringView name = TrimBlanks(names.substr(start, comma - start));
    if (!name.empty()) result.emplace_back(name);
    start = comma + 1;
  }
  return result;
}

class RunScope {
 public:
  explicit RunScope(TkvScript& script) : script_(script) {
    script_.ExitRequested = false;
    script_.Running = true;
  }
  ~RunScope() {
    script_.ExitRequested = false;
    script_.Running = false;
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  TkvScript& script_;
};

}  // namespace

// --- Construction --------------------------------------------------------------------------

TkvScript::TkvScript(TComponent* owner)
    : TComponent(owner),
      lines_(new TStringList),
      main_(new TkvStatement(this, UString(), UString())),
      codeLines_(new TStringList) {
  // The running program and its source are the engine's: a script that forged their
  // handles could free them from under itself.
  handles::HideFromScripts(this);
  handles::HideFromScripts(lines_);
  handles::HideFromScripts(codeLines_);
  AddIndexingHelpers();
}

// Owned components go first, as a component's destruction always begins with them; the
// items follow while the statements that refer to them still exist.
TkvScript::~TkvScript() {
  DestroyComponents();
  names_.Clear();
  items_.Clear();
  delete main_;
  delete lines_;
  delete codeLines_;
}

// Every script indexes strings and arrays through helpers of its own.
void TkvScript::AddIndexingHelpers() {
  AddItem(new TkvStringHelper());
  auto* arrays = new TkvArrayHelper(u"__ArrayHelper", UString(), vkVariant);
  arrays->AddItem(new TkvParamItem(UString(), UString(), vkInteger, TkvPassing::ByValue,
                                   TkvPresence::Required));
  arrays->AddItem(new TkvParamItem(UString(), UString(), vkInteger, TkvPassing::ByValue,
                                   TkvPresence::Optional));
  arrays->AddItem(new TkvParamItem(UString(), UString(), vkInteger, TkvPassing::ByValue,
                                   TkvPresence::Optional));
  AddItem(arrays);
}

// --- Items ---------------------------------------------------------------------------------

int TkvScript::AddItem(TkvCustomVariable* item) {
  ++itemsVersion_;
  const int index = items_.AddItem(item);
  names_.Added(item, items_);
  return index;
}

void TkvScript::RemoveItem(TkvCustomVariable* item) {
  ++itemsVersion_;
  items_.RemoveItem(item);
  names_.Removed(item, items_);
}

// Lines, Parent, SyntaxType, the error fields and OnRunLine stay; the indexing helpers come
// back, so a cleared script is like a new one.
void TkvScript::Clear() {
  ++itemsVersion_;
  names_.Clear();
  items_.Clear();
  ClearStatements();
}

// The statements and the noted code lines; the indexing helpers come back.
void TkvScript::ClearStatements() {
  main_->Clear();
  codeLines_->Clear();
  codeLineUnits_.clear();
  codeLinesStale_ = false;
  AddIndexingHelpers();
}

// What a compile made: the items without a registrar (the indexing helpers come back), the
// statements and the noted code lines. Registered items stay.
void TkvScript::ClearProgram() {
  ++itemsVersion_;
  std::vector<TkvCustomVariable*> doomed;
  for (int i = 0; i < ItemCount(); ++i)
    if (ItemAt(i)->Registrar == nullptr) doomed.push_back(ItemAt(i));
  for (TkvCustomVariable* item : doomed) items_.RemoveItem(item);
  names_.Rebuild(items_);
  for (TkvCustomVariable* item : doomed) delete item;
  ClearStatements();
}

// Removes the registrar's items and the members it added to other libraries' classes; a
// default property that was one of them is forgotten wherever it was copied.
void TkvScript::RemoveOwnedBy(TkvRegistrar registrar) {
  if (!registrar) return;  // nil registered nothing: script and built-in items have no registrar
  ++itemsVersion_;
  std::vector<TkvCustomVariable*> doomedItems;
  std::vector<std::pair<TkvClassVariable*, TkvCustomVariable*>> doomedMembers;
  std::unordered_set<const TkvCustomVariable*> doomedAll;
  for (int i = ItemCount() - 1; i >= 0; --i) {
    TkvCustomVariable* item = ItemAt(i);
    auto* cls = dynamic_cast<TkvClassVariable*>(item);
    if (item->Registrar == registrar) {
      doomedItems.push_back(item);
      if (cls)
        for (int m = 0; m < cls->MemberCount(); ++m) doomedAll.insert(cls->MemberAt(m));
    } else if (cls) {
      for (int m = cls->MemberCount() - 1; m >= 0; --m) {
        TkvCustomVariable* member = cls->MemberAt(m);
        if (member->Registrar != registrar) continue;
        doomedMembers.emplace_back(cls, member);
        doomedAll.insert(member);
      }
    }
  }
  for (int i = 0; i < ItemCount(); ++i) {
    auto* cls = dynamic_cast<TkvClassVariable*>(ItemAt(i));
    if (cls && doomedAll.count(cls->DefaultProperty)) cls->DefaultProperty = nullptr;
  }
  for (auto& [cls, member] : doomedMembers) {
    cls->Members.RemoveItem(member);
    delete member;
  }
  // One pass over the index afterwards: following each removal would rescan the items for
  // every name whose first item goes.
  for (TkvCustomVariable* item : doomedItems) items_.RemoveItem(item);
  if (!doomedItems.empty()) names_.Rebuild(items_);
  for (TkvCustomVariable* item : doomedItems) delete item;
}

TkvCustomVariable* TkvScript::FindLocalItem(UStringView name) const {
  return names_.Find(name, items_);
}

TkvCustomVariable* TkvScript::FindItem(UStringView name) const {
  for (const TkvScript* scope = this; scope; scope = scope->Parent)
    if (TkvCustomVariable* item = scope->FindLocalItem(name)) return item;
  return nullptr;
}

TkvClassVariable* TkvScript::FindClass(UStringView name) const {
  return dynamic_cast<TkvClassVariable*>(FindItem(name));
}

// --- Registration --------------------------------------------------------------------------

// A type may be named again with the kind it has (libraries that share a type each name it).
void TkvScript::DefineType(UStringView name, TkvValueKind kind) {
  if (const TkvCustomVariable* known = FindItem(name)) {
    if (dynamic_cast<const TkvTypeVariable*>(known) && known->Kind == kind) return;
    BadDeclaration(u"type " + UString(name), UString(name) + u" is already registered");
  }
  auto* type = new TkvTypeVariable(UString(name), UString(), kind);
  type->Registrar = CurrentRegistrar;
  AddItem(type);
}

void TkvScript::DefineConst(UStringView name, UStringView typeName, const Variant& value) {
  const UString declaration = u"const " + UString(name) + u": " + UString(typeName);
  if (FindLocalItem(name)) BadDeclaration(declaration, UString(name) + u" is already registered");
  NoteTypeName(typeName, declaration);
  auto* constant = new TkvVariable(UString(name), UString(typeName), TypeKindOf(typeName));
  constant->Registrar = CurrentRegistrar;
  constant->SetValue(value);
  constant->ReadOnly = true;
  AddItem(constant);
}

void TkvScript::DefineEnum(UStringView typeName, UStringView names) {
  AddEnum(typeName, names, false);
}

void TkvScript::DefineFlagsEnum(UStringView typeName, UStringView names) {
  AddEnum(typeName, names, true);
}

// Flag values are the bits of a 32-bit set, so a flags enumeration has at most 32 names.
void TkvScript::AddEnum(UStringView typeName, UStringView names, bool flags) {
  const std::vector<UString> elements = SplitNames(names);
  constexpr size_t kMaxFlags = 32;
  if (flags && elements.size() > kMaxFlags)
    throw Exception(u"The set type " + UString(typeName) + u" has more than 32 elements");
  const UString declaration = u"type " + UString(typeName) + u" = (" + UString(names) + u")";
  if (typeName.empty()) BadDeclaration(declaration, u"the type has no name");
  if (FindLocalItem(typeName))
    BadDeclaration(declaration, UString(typeName) + u" is already registered");
  for (const UString& element : elements)
    if (FindLocalItem(element)) BadDeclaration(declaration, element + u" is already registered");
  auto* type = new TkvVariable(UString(typeName), UString(typeName), vkEnum);
  type->Registrar = CurrentRegistrar;
  AddItem(type);
  for (size_t i = 0; i < elements.size(); ++i) {
    auto* element = new TkvVariable(elements[i], UString(typeName), vkEnum);
    element->Registrar = CurrentRegistrar;
    element->Value =
        flags ? Variant(static_cast<int32_t>(uint32_t{1} << i)) : Variant(static_cast<int32_t>(i));
    element->ReadOnly = true;
    AddItem(element);
  }
}

TkvClassVariable* TkvScript::DefineClass(TClass* hostClass, UStringView ancestorName) {
  if (!hostClass) throw Exception(UString(u"DefineClass needs a host class"));
  if (FindItem(hostClass->Name())) return nullptr;
  auto* cls = new TkvClassVariable(hostClass, UString(ancestorName));
  cls->Registrar = CurrentRegistrar;
  cls->MemberRegistrar = CurrentRegistrar;
  AddItem(cls);
  if (const TkvClassVariable* ancestor = FindClass(ancestorName))
    cls->DefaultProperty = ancestor->DefaultProperty;
  return cls;
}

TkvMethodHelper* TkvScript::DefineFunction(UStringView declaration, TkvMethodCallback callback,
                                           UStringView category, UStringView description) {
  std::unique_ptr<TkvMethodHelper> owned(
      TkvMethodHelper::FromDeclaration(declaration, std::move(callback), nullptr));
  if (FindLocalItem(owned->Name))
    BadDeclaration(declaration, owned->Name + u" is already registered");
  TkvMethodHelper* function = owned.release();
  function->Registrar = CurrentRegistrar;
  function->Category = category;
  function->Description = description.empty() ? function->Name : UString(description);
  AddItem(function);
  return function;
}

// --- Compile and run -----------------------------------------------------------------------

bool TkvScript::Compile() {
  if (Running) throw Exception(UString(u"A script cannot be compiled while it runs"));
  CheckNotedTypeNames();
  if (std::exchange(compiledBefore_, true)) ClearProgram();
  ErrorText.clear();
  TkvFrontEnd* frontEnd = FrontEnd();
  if (!frontEnd) throw Exception(UString(msg::NoFrontEnd));
  frontEnd->Compile(*this);
  if (!ErrorText.empty()) return false;
  ErrorPosition.clear();
  ErrorUnitName.clear();
  return true;
}

void TkvScript::Execute() {
  RunScope run(*this);
  try {
    main_->Execute();
  } catch (const std::exception& e) {
    NoteRunError(e);
    throw;
  }
}

void TkvScript::NoteRunError(const std::exception& e) {
  ErrorText = ExceptionMessage(e);
  ErrorPosition.clear();
  ErrorUnitName.clear();
  const std::vector<TkvErrorFrame>& frames = ErrorFramesOf(e);
  if (frames.empty()) return;
  const TkvErrorFrame& raised = frames.front();
  ErrorPosition = KnownPlaceText(raised.place);
  ErrorUnitName = raised.unit;
}

// A handler set from C++ is called directly; one assigned as a published event gets the
// event's arguments (Sender, UnitName, SourcePos: the "row:column" text).
void TkvScript::CallRunLine(TkvScript* sender, const UString& unitName, const UString& sourcePos) {
  const TMethod& event = OnRunLine.Method();
  if (runLineHandler_ && event.Data == this) {
    runLineHandler_(sender, unitName, sourcePos);
    return;
  }
  TEventArgs args{TVarRec::Object(sender->Handle()), TVarRec::String(unitName),
                  TVarRec::String(sourcePos)};
  event.Code(args);
}

void TkvScript::SetOnRunLine(TkvRunLineHandler handler) {
  runLineHandler_ = std::move(handler);
  if (!runLineHandler_) {
    OnRunLine = TMethod{};
    return;
  }
  OnRunLine = TMethod{
      [this](TEventArgs& args) {
        if (args.size() < 3) return;
        auto* sender = dynamic_cast<TkvScript*>(handles::Find(static_cast<int32_t>(args[0].VInt)));
        runLineHandler_(sender, args[1].VString, args[2].VString);
      },
      this};
}

// CodeLines holds "unit=3,5,9," per unit: each line that holds a statement, once.
void TkvScript::NoteCodeLine(const UString& unitName, const UString& sourcePos) {
  UString line = sourcePos.substr(0, sourcePos.find(u':'));
  CodeLineUnit* unit = nullptr;
  for (CodeLineUnit& u : codeLineUnits_)
    if (SameText(u.unitName, unitName)) unit = &u;
  if (!unit) unit = &codeLineUnits_.emplace_back(CodeLineUnit{unitName, {}, {}});
  codeLinesStale_ = true;
  if (!unit->lines.insert(line).second) return;
  unit->list += line;
  unit->list += u',';
}

TStringList* TkvScript::CodeLines() const {
  if (codeLinesStale_) {
    codeLines_->Clear();
    for (const CodeLineUnit& u : codeLineUnits_) codeLines_->Add(u.unitName + u"=" + u.list);
    codeLinesStale_ = false;
  }
  return codeLines_;
}

void TkvScript::SetLines(TStrings* lines) {
  if (lines)
    lines_->Assign(lines);
  else
    lines_->Clear();
}

}  // namespace kv
