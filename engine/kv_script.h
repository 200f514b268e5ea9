// The script object: its scope of items and their registration, compiling and running, the
// run-line hook; and the process-wide global script and event list.
//
// Ownership: a script owns its items and its main statement list.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <unordered_set>
#include <vector>

#include "engine/kv_items.h"
#include "engine/kv_name_index.h"
#include "host/core/component.h"
#include "host/core/source_place.h"
#include "host/core/strings.h"

namespace kv {

class TkvStatement;
class TkvEventList;

// Per-statement hook: Sender is the script the statement belongs to.
using TkvRunLineHandler =
    std::function<void(TkvScript* sender, const UString& unitName, const UString& sourcePos)>;

// The OnRunLine event of a script. Assigning a handler to any script also notes that hooks
// exist in the process: until the first one is assigned, a statement's hook costs one load
// instead of a walk up the scopes.
class TkvRunLineEvent {
 public:
  TkvRunLineEvent& operator=(TMethod method) {
    method_ = std::move(method);
    if (method_.Assigned()) anyAssigned_.store(true, std::memory_order_relaxed);
    return *this;
  }
  const TMethod& Method() const { return method_; }
  bool Assigned() const { return method_.Assigned(); }
  // Once true, true for the rest of the process.
  static bool AnyAssigned() { return anyAssigned_.load(std::memory_order_relaxed); }

 private:
  TMethod method_;
  static inline std::atomic<bool> anyAssigned_{false};
};

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
  // Changes whenever items enter or leave the scope (call frames lay their slots out anew).
  // A reference, so that a frame can watch the counter without knowing the script's class.
  const uint64_t& ItemsVersion() const { return itemsVersion_; }
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

  // Compile and run. A compile replaces the program an earlier one left (complete or not);
  // items registered into this script stay.
  bool Compile();
  // A run-time error leaves its message, the place of the statement that raised it and that
  // statement's unit in ErrorText, ErrorPosition and ErrorUnitName, and raises on.
  void Execute();
  // The handler receives the place as "row:column" text.
  void ReportLine(const UString& unitName, SourcePlace place);
  void NoteCodeLine(const UString& unitName, const UString& sourcePos);

  // Published properties
  TStrings* Lines() const { return lines_; }
  void SetLines(TStrings* lines);  // copies
  const UString& SyntaxType() const { return syntaxType_; }
  void SetSyntaxType(UString name) { syntaxType_ = std::move(name); }
  TkvRunLineEvent OnRunLine;
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
  // The procedure whose local script this is; nullptr for a program or the global script.
  const TkvCustomVariable* OwnerRoutine = nullptr;
  // The file the Lines came from, when they came from one: used units are looked up beside
  // it first. Empty for text that has no file.
  UString SourceFileName;

 private:
  void AddEnum(UStringView typeName, UStringView names, bool flags);
  void ClearProgram();
  void ClearStatements();
  void NoteRunError(const std::exception& e);
  void AddIndexingHelpers();
  void CallRunLine(TkvScript* sender, const UString& unitName, const UString& sourcePos);

  TkvItemList items_;
  uint64_t itemsVersion_ = 1;
  bool compiledBefore_ = false;
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
// procedure's local script, its script, the global script) and inline, and is left out
// while no script of the process has had a handler; an OnRunLine assigned at any time, also
// while the script runs, is seen at the next statement.
inline void TkvScript::ReportLine(const UString& unitName, SourcePlace place) {
  if (!TkvRunLineEvent::AnyAssigned()) return;
  for (TkvScript* scope = this; scope; scope = scope->Parent) {
    if (scope->OnRunLine.Assigned()) {
      scope->CallRunLine(this, unitName, KnownPlaceText(place));
      return;
    }
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
