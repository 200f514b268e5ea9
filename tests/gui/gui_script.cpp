#include "tests/gui/gui_script.h"

#include <gtest/gtest.h>

#include "api/kv_startup.h"
#include "host/core/exceptions.h"
#include "host/gui/application.h"

namespace kv {

class TGuiScript::Messages : public TMessageService {
 public:
  void ShowMessage(const UString& text) override { out += ToUtf8(text) + "\n"; }
  bool InputQuery(const UString&, const UString&, UString&) override { return false; }
  std::string out;
};

void StartGuiTestEngine() {
  static bool started = false;
  if (started) return;
  started = true;
  StartApplication();
  StartEngine();
}

TGuiScript::TGuiScript(const std::string& source)
    : messages_(std::make_unique<Messages>()), script_(std::make_unique<TkvScript>()) {
  StartGuiTestEngine();
  SetMessageService(messages_.get());
  script_->Parent = GlobalScript();
  script_->Lines()->SetText(FromUtf8(source));
  if (!script_->Compile()) {
    ADD_FAILURE() << "compile error " << ToUtf8(script_->ErrorPosition) << ": "
                  << ToUtf8(script_->ErrorText);
    return;
  }
  try {
    script_->Execute();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "run-time error: " << ToUtf8(ExceptionMessage(e));
  }
}

TGuiScript::~TGuiScript() {
  script_.reset();
  SetMessageService(nullptr);
}

Variant TGuiScript::Value(const char16_t* variable) const {
  TkvCustomVariable* item = script_->FindItem(variable);
  if (!item) throw Exception(u"No variable " + UString(variable));
  return item->GetValue();
}

void TGuiScript::SetValue(const char16_t* variable, const Variant& value) {
  TkvCustomVariable* item = script_->FindItem(variable);
  if (!item) throw Exception(u"No variable " + UString(variable));
  item->SetValue(value);
}

void TGuiScript::Call(const char16_t* procedure) {
  TkvCustomVariable* item = script_->FindItem(procedure);
  if (!item) throw Exception(u"No procedure " + UString(procedure));
  item->GetValue();
}

std::string TGuiScript::TakeMessages() {
  std::string out;
  out.swap(messages_->out);
  return out;
}

}  // namespace kv
