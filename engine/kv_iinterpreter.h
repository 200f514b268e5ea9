// The interpreter: the owning item list, the script object with its scopes and registration
// interface, the items (variables, parameters, procedures, class descriptors), the member
// helpers through which scripts reach host code, event adapters, designators and
// statements. Expressions are in kv_iexpression.h.
//
// Ownership: a script owns its items and its main statement list; a procedure owns its local
// script and its parameters; a class descriptor owns its members; statements own their
// expressions and designators; the global event list owns every event adapter. References
// named "not owned" below are plain pointers whose target outlives the holder.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

#include "engine/kv_ifrontend.h"
#include "engine/kv_itools.h"
#include "engine/kv_name_index.h"
#include "host/core/component.h"
#include "host/core/object.h"
#include "host/core/strings.h"
#include "host/core/variant.h"

namespace kv {

class TkvScript;
class TkvStatement;
class TkvCustomExpression;
class TkvParamItem;
class TkvProcVariable;
class TkvClassVariable;
class TkvMethodHelper;
class TkvCustomEvent;

// ---------------------------------------------------------------------------------------
// Owning list

// An ordered list of owned children. Clear frees them first to last.
class TkvItemList {
 public:
  TkvItemList() = default;
  TkvItemList(const TkvItemList&) = delete;
  TkvItemList& operator=(const TkvItemList&) = delete;
  virtual ~TkvItemList();

  virtual void Clear();
  int ItemCount() const { return static_cast<int>(items_.size()); }
  int AddItem(TkvItemList* item);  // takes ownership; returns the index
  void RemoveItem(TkvItemList* item);  // gives ownership back to the caller
  TkvItemList* ItemAt(int index) const { return items_[index]; }

 protected:
  std::vector<TkvItemList*> items_;
};

// ---------------------------------------------------------------------------------------
// Callbacks of binding libraries. Names arrive upper-cased in ASCII ("ADD", "ITEMS.GET").
// Instance is the handle of the object (0 for a global function); ClassType is the host
// class the member was defined on (nullptr for a global function).

using TkvParams = std::vector<Variant>;
using TkvMethodCallback = std::function<Variant(int32_t instance, TClass* classType,
                                                const UString& methodName, TkvParams& params)>;
using TkvGetterCallback =
    std::function<Variant(int32_t instance, TClass* classType, const UString& propName)>;
using TkvSetterCallback = std::function<void(int32_t instance, TClass* classType,
                                             const UString& propName, const Variant& value)>;

// Identity of the binding library that registered an item (nullptr for script items).
using TkvRegistrar = const void*;

// ---------------------------------------------------------------------------------------
// Items

// The named item every script-visible thing derives from. Children are its parameters
// (callable items) or argument expressions (designator steps).
class TkvCustomVariable : public TkvItemList {
 public:
  TkvCustomVariable() = default;
  TkvCustomVariable(UString name, UString typeName, TkvValueKind kind);

  virtual void SetValue(const Variant& value);  // ignored when ReadOnly
  virtual Variant GetValue();

  TkvParamItem* ParamAt(int index) const;
  int RequiredParamCount() const;
  // Whether a recursive call of a procedure saves and restores this item's value: true
  // for variables and parameters. A virtual call, because the check runs for every local
  // item of every recursive call.
  virtual bool HoldsLocalValue() const { return false; }

  TkvRegistrar Registrar = nullptr;
  bool ReadOnly = false;
  UString Name;
  bool NeedResult = true;
  TkvCustomVariable* RefItem = nullptr;  // not owned
  UString SourcePos;
  TkvValueKind Kind = vkInteger;
  UString TypeName;
  Variant Value = Variant::Null();
};

// Whether the item keeps its value in Value with the plain GetValue and SetValue (variables,
// parameters, constant operands): reading Value is then the same as GetValue, and writing it
// when not ReadOnly the same as SetValue. Statements ask once, when prepared, so that the
// hot paths skip the virtual calls.
bool HasPlainValue(const TkvCustomVariable* item);
// The item whose stored value reading and writing `item` comes down to: the item itself when
// it has a plain value, else for a compiled one-step path without arguments (a parameter)
// the plain item of that step, whose general evaluation reads and writes just that item.
// nullptr otherwise, also for a path that is still deferred.
TkvCustomVariable* PlainValueItem(TkvCustomVariable* item);

// Script variables, constants (read-only), enumeration values, hidden with-variables, Result.
class TkvVariable : public TkvCustomVariable {
 public:
  using TkvCustomVariable::TkvCustomVariable;
  bool HoldsLocalValue() const override { return true; }
};

// A type name entry.
class TkvTypeVariable : public TkvCustomVariable {
 public:
  using TkvCustomVariable::TkvCustomVariable;
};

// A script variable of type String with native, shared storage that the string fast path
// indexes in place. SetValue ignores ReadOnly.
class TkvstringVariable : public TkvVariable {
 public:
  using TkvVariable::TkvVariable;
  void SetValue(const Variant& value) override;
  Variant GetValue() override;
  SharedString Storage;
};

class TkvParamItem : public TkvCustomVariable {
 public:
  TkvParamItem(UString name, UString typeName, TkvValueKind kind, bool isVar, bool optional);
  bool HoldsLocalValue() const override { return true; }
  Variant DefaultValue = Variant::Null();
  bool Optional = false;
  bool IsVar = false;
};

// A procedure or function declared in a script. Its parameters are both its children (for
// argument binding) and items of its local script (for look-up in the body); it owns them.
class TkvProcVariable : public TkvCustomVariable {
 public:
  TkvProcVariable(UString name, UString typeName, TkvValueKind kind, bool isFunction,
                  TkvScript* declaringScript);
  ~TkvProcVariable() override;
  Variant GetValue() override;  // the call; arguments were bound by the designator

  // Recursion support: the values of every variable and parameter of the local script.
  void SaveLocals(std::vector<Variant>& out) const;
  void RestoreLocals(const std::vector<Variant>& saved);
  // The same on the procedure's own save stack, which recursive calls share frame by frame
  // (innermost last) and which keeps its capacity, so that recursion does not allocate.
  // PushLocals returns the new frame; PopLocals restores it and drops it with every frame
  // above it.
  size_t PushLocals();
  void PopLocals(size_t frame);

  bool Executing = false;
  bool IsFunction = false;
  TkvScript* LocalScript = nullptr;  // owned

 private:
  std::vector<Variant> savedLocals_;
};

// Base of expressions (kv_iexpression.h).
class TkvCustomExpression : public TkvCustomVariable {
 public:
  using TkvCustomVariable::TkvCustomVariable;
};

// Creates the event adapter of one event type for an object and a handler procedure.
using TkvEventClass = TkvCustomEvent* (*)(TObject* instance, TkvProcVariable* handler);

// The descriptor of a host class: its members (published properties first, then the ones
// the binding defines) and its default property. Its single child is the type-cast
// parameter: TStringList(x) yields x, the bare TStringList an unconstructed instance.
class TkvClassVariable : public TkvCustomVariable {
 public:
  TkvClassVariable(TClass* hostClass, UString ancestorName);
  Variant GetValue() override;

  TkvMethodHelper* DefineMethod(UStringView declaration, TkvMethodCallback callback);
  TkvMethodHelper* DefineConstructor(UStringView declaration, TkvMethodCallback callback);
  TkvCustomVariable* DefineProperty(UStringView name, UStringView typeName,
                                    TkvGetterCallback getter, TkvSetterCallback setter);
  TkvMethodHelper* DefineIndexedProperty(UStringView name, UStringView indexTypes,
                                         bool readOnly, TkvMethodCallback callback,
                                         UStringView resultType);
  TkvMethodHelper* DefineDefaultProperty(UStringView name, UStringView indexTypes,
                                         bool readOnly, TkvMethodCallback callback,
                                         UStringView resultType);
  TkvCustomVariable* DefineEvent(UStringView name, TkvEventClass adapterClass);

  int MemberCount() const { return Members.ItemCount(); }
  TkvCustomVariable* MemberAt(int index) const;
  // Own members first (ASCII case-insensitive), then the ancestors' through the global
  // script object; nullptr at the end of the chain.
  TkvCustomVariable* FindMember(UStringView name) const;

  UString AncestorName;
  TClass* HostClass = nullptr;
  TkvMethodHelper* DefaultProperty = nullptr;  // not owned (a member of this or an ancestor)
  TkvItemList Members;
  // Stamped as Registrar on every member defined from now on; DefineClass sets it to the
  // script's CurrentRegistrar. A binding library that adds members to a class another
  // library registered sets it to itself around its definitions, so that RemoveOwnedBy
  // takes exactly its members away again.
  TkvRegistrar MemberRegistrar = nullptr;

 private:
  void ImportPublishedProperties();
  TkvMethodHelper* AddMethod(UStringView declaration, TkvMethodCallback callback);
};

// ---------------------------------------------------------------------------------------
// Member helpers: set up by the designator right before each call.

class TkvCustomHelper : public TkvCustomVariable {
 public:
  using TkvCustomVariable::TkvCustomVariable;
  TkvCustomVariable* ParentRef = nullptr;  // item of the preceding step; not owned
  Variant InstanceValue;                   // value of the preceding step
  TkvScript* Script = nullptr;             // where name look-ups start; not owned
};

class TkvPropertyHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
  TClass* HostClass = nullptr;
  bool Published = false;
  TkvGetterCallback Getter;
  TkvSetterCallback Setter;
};

class TkvMethodHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;  // the call
  void SetValue(const Variant& value) override;  // ".SET" of an indexed property
  UString Category;
  TClass* HostClass = nullptr;
  UString Description;
  bool IsIndexedProperty = false;
  TkvMethodCallback Callback;
  UString Declaration;

  // A helper named, typed and parameterised by a declaration string; read-only.
  static TkvMethodHelper* FromDeclaration(UStringView declaration, TkvMethodCallback callback,
                                          TClass* hostClass);

 private:
  void FillParams(TkvParams& params) const;
  // The upper-cased names the callback receives (with ".GET"/".SET" for an indexed
  // property), made at the first call after Name or IsIndexedProperty changed.
  const UString& CallName(bool write);

  // What calls keep between them, made at the first call: most registered members are never
  // called, and each holds only this pointer until then.
  struct CallCache {
    UString nameOf;
    bool indexed = false;
    UString getName;
    UString setName;
    // The argument list of the last call, kept for its capacity; a call that finds it taken
    // (a re-entrant call from inside the callback) makes its own.
    TkvParams spareParams;
  };
  CallCache& Cache();
  std::unique_ptr<CallCache> cache_;
};

class TkvEventHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;  // the handler's name, or the empty string
  void SetValue(const Variant& value) override;  // attaches or detaches a handler
  TClass* HostClass = nullptr;
  TkvEventClass AdapterClass = nullptr;
};

// Element access of the array held by ParentRef (1 to 3 dimensions), in place. When
// ParentRef's stored value is no array, the array of InstanceValue is used (a write then
// stores the whole array through ParentRef). Both operations release InstanceValue first:
// hand the preceding value over with std::move, or a write copies the whole array because
// its body is still shared.
class TkvArrayHelper : public TkvCustomHelper {
 public:
  using TkvCustomHelper::TkvCustomHelper;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

// One character of InstanceValue; a write stores the whole new string through ParentRef.
class TkvStringHelper : public TkvCustomHelper {
 public:
  TkvStringHelper();
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

// ---------------------------------------------------------------------------------------
// Event adapters

// Serves one event of one host object by calling a script procedure. Adapters live in the
// global event list; the method stored into the object finds its adapter there by serial
// number at each delivery, so an adapter that was removed leaves the event quiet instead of
// dangling.
//
// An adapter may be removed while its handler runs (the handler frees the object, assigns
// the event again, ...): nothing below touches the adapter after the handler returned
// without finding it again by serial.
class TkvCustomEvent : public TkvItemList {
 public:
  TkvCustomEvent(TObject* instance, TkvProcVariable* handler);
  // The handler routine the host calls: delivers through CallHandler and, when the handler
  // ran, writes back through WriteBack. Exceptions of the handler reach the host's caller.
  virtual TMethod GetMethod();
  // Drops the event (false) when the handler is executing; else binds one argument per
  // parameter of the handler and calls it (true). A handler with more parameters than the
  // event passes raises msg::TooManyEventParams.
  bool CallHandler(TEventArgs& args);
  // After a delivery: the values of the handler's var parameters into the records of the
  // same position. Adapters whose event writes other records back override it.
  virtual void WriteBack(TEventArgs& args);
  // The number of arguments the event passes, so that a handler declaring more is refused
  // when it is assigned; -1 when the adapter does not know.
  virtual int ArgumentCount() const { return -1; }

  TkvProcVariable* Handler;  // not owned
  TObject* Instance;         // not owned
  uint64_t Serial;           // unique while the process lives
  UString EventName;         // the published event property the adapter serves
};

// Adapters in the order of creation, which is the order of their serials.
class TkvEventList : public TkvItemList {
 public:
  void AddAdapter(TkvCustomEvent* adapter);  // takes ownership
  void RemoveAdaptersOf(const TObject* instance);
  void RemoveAdaptersWithHandler(const TkvProcVariable* handler);
  // The adapters of one event of one object (at most one while assignments replace them).
  void RemoveAdaptersOfEvent(const TObject* instance, UStringView eventName);
  TkvCustomEvent* FindBySerial(uint64_t serial) const;
  // The adapter serving one event of one object, or nullptr.
  TkvCustomEvent* FindAdapterOfEvent(const TObject* instance, UStringView eventName) const;
  TkvCustomEvent* AdapterAt(int index) const;
};

// ---------------------------------------------------------------------------------------
// Designators

// One step of an access path: the item it calls and the argument expressions (owned, one
// per parameter of Ref).
class TkvDesignatorItem : public TkvItemList {
 public:
  TkvCustomExpression* ArgAt(int index) const;
  uint8_t Marker = 0;  // used by the compiler while it builds the path
  TkvCustomVariable* Ref = nullptr;  // not owned
  UString SourcePos;

  // The evaluation's note of what kind of item Ref is (designator, procedure, helper), so
  // that a call does not ask the type system again; valid while RoleOf == Ref.
  uint8_t RefRole = 0;
  const TkvCustomVariable* RoleOf = nullptr;
};

enum TkvFastPath : uint8_t {
  fpGeneral = 0,
  fpVariable = 1,
  fpStringChar = 2,
  fpArrayElement = 3,
};

// A compiled access path (A, A.B[I], F(X), TStringList.Create, S[2]); children are steps.
class TkvDesignator : public TkvCustomVariable {
 public:
  explicit TkvDesignator(TkvScript* script);
  ~TkvDesignator() override;

  TkvDesignatorItem* StepAt(int index) const;
  int StepCount() const { return ItemCount(); }
  TkvDesignatorItem* AddStep(TkvCustomVariable* ref, UString sourcePos);
  void Classify();
  void TakeOver(TkvDesignator& other);

  Variant GetValue() override;
  void SetValue(const Variant& value) override;

  TkvFastPath FastPathKind = fpGeneral;
  TkvScript* Script;
  TkvCustomVariable* Index = nullptr;  // string path: the index expression; array path: the helper
  TkvDesignatorItem* IndexStep = nullptr;  // array path: the step with the index expressions
  std::unique_ptr<TkvDeferredCode> Deferred;

 protected:
  void CompileDeferred();
  Variant Evaluate(bool write, const Variant* valueToWrite);
};

class TkvVariableDesignator : public TkvDesignator {
 public:
  using TkvDesignator::TkvDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

class TkvStringDesignator : public TkvDesignator {
 public:
  using TkvDesignator::TkvDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

class TkvArrayDesignator : public TkvDesignator {
 public:
  using TkvDesignator::TkvDesignator;
  Variant GetValue() override;
  void SetValue(const Variant& value) override;
};

// A set constructor: expressions in source order; a nullptr child between two expressions
// marks a range (a, nullptr, b is a..b).
class TkvSetExpression : public TkvCustomVariable {
 public:
  void AddElement(TkvCustomExpression* expr);  // nullptr marks a range
  bool Contains(const Variant& value);
  Variant GetValue() override;
};

// ---------------------------------------------------------------------------------------
// Statements

class TkvStatement : public TkvItemList {
 public:
  TkvStatement(TkvScript* script, UString sourcePos, UString unitName);
  virtual void Execute();  // a plain block runs its children as a statement list
  TkvStatement* StatementAt(int index) const;
  void ReportLine();

  TkvScript* Script;  // not owned
  UString SourcePos;
  UString UnitName;

 protected:
  // Runs the children; stops early on any control flag of the script.
  void ExecuteList();
  static void RunList(TkvStatement& list) { list.ExecuteList(); }
  // The hook of hooked statements: ReportLine, then whether to go on.
  bool Hook();
};

class TkvAssignmentStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  ~TkvAssignmentStmt() override;
  void Execute() override;
  // After Designator and Expression are set: choose the shortest read and write paths.
  void Prepare();
  TkvDesignator* Designator = nullptr;         // owned
  TkvCustomExpression* Expression = nullptr;   // owned
  TkvCustomVariable* Target = nullptr;         // not owned
  TkvCustomVariable* Source = nullptr;         // not owned
  // Chosen by Prepare (nullptr without it): the items whose stored values Target and Source
  // come down to (PlainValueItem), and Target as a string variable, whose storage a
  // compound assignment unshares.
  TkvCustomVariable* PlainTarget = nullptr;    // not owned
  TkvCustomVariable* PlainSource = nullptr;    // not owned
  TkvstringVariable* StringTarget = nullptr;   // not owned
};

// x op= e; also the folded x := x op e.
class TkvAssignPlusStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};
class TkvAssignMinusStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};
class TkvAssignMulStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};
class TkvAssignDivStmt : public TkvAssignmentStmt {
 public:
  using TkvAssignmentStmt::TkvAssignmentStmt;
  void Execute() override;
};

class TkvCallStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  ~TkvCallStmt() override;
  void Execute() override;
  TkvDesignator* Designator = nullptr;  // owned
  UString Modifier;                     // empty, "+" or "-"
};

class TkvIfStmt : public TkvStatement {
 public:
  TkvIfStmt(TkvScript* script, UString sourcePos, UString unitName);
  ~TkvIfStmt() override;
  void Execute() override;
  TkvCustomExpression* Condition = nullptr;  // owned
  TkvStatement* ElseStatements;              // owned
};

class TkvCaseSelector : public TkvStatement {
 public:
  TkvCaseSelector(TkvScript* script, UString sourcePos, UString unitName);
  ~TkvCaseSelector() override;
  TkvSetExpression* Set;  // owned
};

class TkvCaseStmt : public TkvStatement {
 public:
  TkvCaseStmt(TkvScript* script, UString sourcePos, UString unitName);
  ~TkvCaseStmt() override;
  void Execute() override;
  TkvCustomExpression* Selector = nullptr;  // owned
  TkvStatement* ElseStatements;             // owned
};

class TkvRepeatStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  ~TkvRepeatStmt() override;
  void Execute() override;
  TkvCustomExpression* Condition = nullptr;  // owned
  bool Inverse = false;  // do-while: loop while the condition holds
};

class TkvWhileStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  ~TkvWhileStmt() override;
  void Execute() override;
  TkvCustomExpression* Condition = nullptr;  // owned
};

class TkvForStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  ~TkvForStmt() override;
  void Execute() override;
  TkvCustomExpression* BeginValue = nullptr;  // owned
  bool Down = false;
  TkvCustomExpression* EndValue = nullptr;  // owned
  TkvCustomVariable* LoopVariable = nullptr;  // not owned
};

class TkvVbForStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  ~TkvVbForStmt() override;
  void Execute() override;
  TkvCustomExpression* BeginValue = nullptr;  // owned
  TkvCustomExpression* EndValue = nullptr;    // owned
  TkvCustomExpression* Step = nullptr;        // owned; may stay nullptr (step 1)
  TkvCustomVariable* LoopVariable = nullptr;  // not owned
};

class TkvCppForStmt : public TkvStatement {
 public:
  TkvCppForStmt(TkvScript* script, UString sourcePos, UString unitName);
  ~TkvCppForStmt() override;
  void Execute() override;
  TkvStatement* FirstStatements;             // owned
  TkvCustomExpression* Condition = nullptr;  // owned
  TkvStatement* SecondStatements;            // owned
};

class TkvTryStmt : public TkvStatement {
 public:
  TkvTryStmt(TkvScript* script, UString sourcePos, UString unitName);
  ~TkvTryStmt() override;
  void Execute() override;
  bool IsExcept = true;  // try..except; false for try..finally
  TkvStatement* HandlerStatements;  // owned
};

class TkvBreakStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
};
class TkvContinueStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
};
class TkvExitStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  void Execute() override;
};

class TkvWithStmt : public TkvStatement {
 public:
  using TkvStatement::TkvStatement;
  ~TkvWithStmt() override;
  void Execute() override;
  TkvDesignator* Designator = nullptr;          // owned
  TkvCustomVariable* HiddenVariable = nullptr;  // an item of the script; not owned
};

// ---------------------------------------------------------------------------------------
// The script object

// Per-statement hook: Sender is the script the statement belongs to.
using TkvRunLineHandler =
    std::function<void(TkvScript* sender, const UString& unitName, const UString& sourcePos)>;

class TkvScript : public TComponent {
  KV_CLASS(TkvScript, TComponent)

 public:
  explicit TkvScript(TComponent* owner = nullptr);
  ~TkvScript() override;

  // Items
  int AddItem(TkvCustomVariable* item);  // takes ownership, no checks
  int ItemCount() const { return items_.ItemCount(); }
  // nullptr outside 0..ItemCount()-1. Inline: recursive calls walk the local items twice.
  TkvCustomVariable* ItemAt(int index) const {
    if (index < 0 || index >= items_.ItemCount()) return nullptr;
    return static_cast<TkvCustomVariable*>(items_.ItemAt(index));
  }
  void RemoveItem(TkvCustomVariable* item);  // not freed
  void Clear();
  void RemoveOwnedBy(TkvRegistrar registrar);
  // The first item of the name in this scope (letter case ignored), found by hash. An
  // item's Name must not change while it belongs to a script.
  TkvCustomVariable* FindLocalItem(UStringView name) const;
  TkvCustomVariable* FindItem(UStringView name) const;
  TkvClassVariable* FindClass(UStringView name) const;

  // Registration
  void DefineType(UStringView name, TkvValueKind kind);
  void DefineConst(UStringView name, UStringView typeName, const Variant& value);
  void DefineEnum(UStringView typeName, UStringView names);
  void DefineFlagsEnum(UStringView typeName, UStringView names);
  TkvClassVariable* DefineClass(TClass* hostClass, UStringView ancestorName);
  TkvMethodHelper* DefineFunction(UStringView declaration, TkvMethodCallback callback,
                                  UStringView category = {}, UStringView description = {});

  // Compile and run
  bool Compile();
  void Execute();
  void ReportLine(const UString& unitName, const UString& sourcePos);
  void NoteCodeLine(const UString& unitName, const UString& sourcePos);

  // Published properties
  TStrings* Lines() const { return lines_; }
  void SetLines(TStrings* lines);  // copies
  const UString& SyntaxType() const { return syntaxType_; }
  void SetSyntaxType(UString name) { syntaxType_ = std::move(name); }
  TMethod OnRunLine;
  void SetOnRunLine(TkvRunLineHandler handler);  // convenience for C++ hosts

  TkvStatement* MainStatements() const { return main_; }
  // Per unit, the line numbers that hold statements: "UNIT=3,5,9," (empty name: the main
  // text). Built from an index on demand, so noting a line stays cheap in large sources.
  TStringList* CodeLines() const;

  TkvRegistrar CurrentRegistrar = nullptr;
  bool BreakRequested = false;
  bool ContinueRequested = false;
  bool ExitRequested = false;
  UString ErrorText;
  UString ErrorPosition;
  UString ErrorUnitName;
  bool Running = false;
  TkvScript* Parent = nullptr;             // not owned
  TkvScript* ActiveLocalScript = nullptr;  // not owned
  // The file the Lines came from, when they came from one: used units are looked up beside
  // it first. Empty for text that has no file.
  UString SourceFileName;

 private:
  void AddEnum(UStringView typeName, UStringView names, bool flags);
  void AddIndexingHelpers();
  void CallRunLine(TkvScript* sender, const UString& unitName, const UString& sourcePos);

  TkvItemList items_;
  // Follows every change of items_: AddItem, RemoveItem, Clear, RemoveOwnedBy and the
  // destructor are the only ways items enter or leave the scope.
  TkvNameIndex names_;
  TStringList* lines_;
  TkvStatement* main_;
  UString syntaxType_ = u"PascalScript";
  // The noted lines of one unit, in order of first noting, and the set of them.
  struct CodeLineUnit {
    UString unitName;
    UString list;  // "3,5,9,"
    std::unordered_set<UString> lines;
  };
  std::vector<CodeLineUnit> codeLineUnits_;
  mutable bool codeLinesStale_ = false;
  TStringList* codeLines_;
  // Set by SetOnRunLine; OnRunLine then carries this object's identity and ReportLine calls
  // the handler directly instead of packing event arguments for every statement.
  TkvRunLineHandler runLineHandler_;
};

// The hook runs before every hooked statement. The walk up the Parent chain is short (a
// procedure's local script, its script, the global script) and inline, so a script that
// nobody watches pays a few loads per statement; an OnRunLine assigned at any time, also
// while the script runs, is seen at the next statement.
inline void TkvScript::ReportLine(const UString& unitName, const UString& sourcePos) {
  for (TkvScript* scope = this; scope; scope = scope->Parent) {
    if (scope->OnRunLine.Assigned()) {
      scope->CallRunLine(this, unitName, sourcePos);
      return;
    }
  }
}

inline void TkvStatement::ReportLine() { Script->ReportLine(UnitName, SourcePos); }

inline bool TkvStatement::Hook() {
  ReportLine();
  return !Script->ExitRequested;
}

// Inline, so that each loop runs its body without a further call per pass.
inline void TkvStatement::ExecuteList() {
  TkvScript& script = *Script;
  const int count = ItemCount();
  for (int i = 0; i < count; ++i) {
    if (script.ExitRequested) return;
    static_cast<TkvStatement*>(ItemAt(i))->Execute();
    if (script.BreakRequested || script.ContinueRequested || script.ExitRequested) return;
  }
}

// ---------------------------------------------------------------------------------------
// Process-wide objects, created and freed by the start-up and shut-down sequence of main()
// (InitInterpreter/DoneInterpreter). Both are also created at their first request, so
// binding libraries constructed at any time find them. After DoneInterpreter both return
// nullptr (libraries ending later skip their clean-up) until InitInterpreter runs again.

TkvScript* GlobalScript();
TkvEventList* GlobalEventList();
// Creates both objects and watches object destruction, so that an object's adapters go
// with it.
void InitInterpreter();
// Frees the event list (every adapter), then the global script object.
void DoneInterpreter();

// The deepest nesting of script procedure calls before "Stack overflow" is raised. One call
// level costs about 0.6 to 1.8 KB of C++ stack in a plain build and 1.2 to 4.2 KB under
// AddressSanitizer, the more the deeper the call sits in nested statements; 1000 levels
// therefore stay well inside the default 8 MB stack in every build. A stack-address check
// backs the count up for stacks that are smaller or already deep when the script starts.
inline constexpr int kMaxCallDepth = 1000;

}  // namespace kv
