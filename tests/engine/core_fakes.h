// A small fake host for the engine core tests: two component classes with published
// properties and events, an unrelated class, statements that run C++ code, and procedures
// built the way the compiler builds them.
#pragma once

#include <functional>
#include <string>

#include "engine/kv_iinterpreter.h"
#include "host/core/class_builder.h"

namespace kv::coretest {

enum TFakeColor : uint8_t { fcRed, fcGreen, fcBlue };

// Published, in this order: Name, Tag (TComponent), Caption, Count, Enabled, Ratio, Color,
// Child, Data, Big; events OnClick (Sender) and OnKey (Sender; var Key; Shift).
class TFakeItem : public TComponent {
  KV_CLASS(TFakeItem, TComponent)

 public:
  explicit TFakeItem(TComponent* owner = nullptr) : TComponent(owner) {}

  // Fires OnClick with the item as Sender.
  void Click();
  // Fires OnKey; returns Key as the handler left it.
  int32_t PressKey(int32_t key, int32_t shift);

  UString Caption;
  int32_t Count = 0;
  bool Enabled = false;
  double Ratio = 0;
  TFakeColor Color = fcRed;
  TFakeItem* Child = nullptr;
  Variant Data;
  int64_t Big = 0;
  TMethod OnClick;
  TMethod OnKey;
};

// Adds Extra after the inherited properties.
class TFakeSub : public TFakeItem {
  KV_CLASS(TFakeSub, TFakeItem)

 public:
  explicit TFakeSub(TComponent* owner = nullptr) : TFakeItem(owner) {}
  UString Extra;
};

// Also publishes a Count, but is no TFakeItem.
class TFakeStranger : public TObject {
  KV_CLASS(TFakeStranger, TObject)

 public:
  int32_t Count = 7;
};

// A statement that runs a function.
class TLambdaStmt : public TkvStatement {
 public:
  TLambdaStmt(TkvScript* script, std::function<void()> body)
      : TkvStatement(script, UString(), UString()), body_(std::move(body)) {}
  void Execute() override { body_(); }

 private:
  std::function<void()> body_;
};

// A procedure declared in `script` with the given parameters ("var " before a name makes it
// a var parameter), whose body runs `body`. The script owns it.
TkvProcVariable* AddProc(TkvScript& script, const char16_t* name,
                         std::initializer_list<const char16_t*> params,
                         std::function<void(TkvProcVariable&)> body, bool isFunction = false);

// The adapter class the tests register their events with.
TkvCustomEvent* NewPlainAdapter(TObject* instance, TkvProcVariable* handler);

// The message of what `fn` raises, or "<nothing>".
template <class E = std::exception, class F>
std::string RaisedBy(F&& fn) {
  try {
    fn();
  } catch (const E& e) {
    return e.what();
  }
  return "<nothing>";
}

}  // namespace kv::coretest
