#include "tests/engine/core_fakes.h"

namespace kv::coretest {

KV_DEFINE_CLASS(TFakeItem, TComponent) {
  c.Constructor();
  c.Property("Caption", &TFakeItem::Caption, &TFakeItem::Caption);
  c.Property("Count", &TFakeItem::Count, &TFakeItem::Count);
  c.Property("Enabled", &TFakeItem::Enabled, &TFakeItem::Enabled);
  c.Property("Ratio", &TFakeItem::Ratio, &TFakeItem::Ratio);
  c.Property("Color", "TFakeColor", &TFakeItem::Color, &TFakeItem::Color);
  c.Property("Child", &TFakeItem::Child, &TFakeItem::Child);
  c.Property("Data", &TFakeItem::Data, &TFakeItem::Data);
  c.Property("Big", &TFakeItem::Big);  // read-only
  c.Event("OnClick", "TNotifyEvent", &TFakeItem::OnClick);
  c.Event("OnKey", "TKeyEvent", &TFakeItem::OnKey);
}

KV_DEFINE_CLASS(TFakeSub, TFakeItem) {
  c.Constructor();
  c.Property("Extra", &TFakeSub::Extra, &TFakeSub::Extra);
}

KV_DEFINE_CLASS(TFakeStranger, TObject) {
  c.Constructor();
  c.Property("Count", &TFakeStranger::Count, &TFakeStranger::Count);
}

void TFakeItem::Click() {
  if (!OnClick.Assigned()) return;
  TEventArgs args{TVarRec::Object(Handle())};
  OnClick.Code(args);
}

int32_t TFakeItem::PressKey(int32_t key, int32_t shift) {
  TEventArgs args{TVarRec::Object(Handle()), TVarRec::Integer(key), TVarRec::Integer(shift)};
  if (OnKey.Assigned()) OnKey.Code(args);
  return static_cast<int32_t>(args[1].VInt);
}

TkvProcVariable* AddProc(TkvScript& script, const char16_t* name,
                         std::initializer_list<const char16_t*> params,
                         std::function<void(TkvProcVariable&)> body, bool isFunction) {
  auto* proc = new TkvProcVariable(name, isFunction ? u"Variant" : u"",
                                   isFunction ? vkVariant : vkClass, isFunction, &script);
  for (UStringView param : params) {
    const bool isVar = param.starts_with(u"var ");
    if (isVar) param.remove_prefix(4);
    auto* item =
        new TkvParamItem(UString(param), u"Variant", vkVariant,
                         isVar ? TkvPassing::ByVar : TkvPassing::ByValue, TkvPresence::Required);
    proc->AddItem(item);
    proc->LocalScript->AddItem(item);
  }
  TkvProcVariable* self = proc;
  proc->LocalScript->MainStatements()->AddItem(
      new TLambdaStmt(proc->LocalScript.get(), [self, body = std::move(body)] { body(*self); }));
  script.AddItem(proc);
  return proc;
}

TkvCustomEvent* NewPlainAdapter(TObject* instance, TkvProcVariable* handler) {
  return new TkvCustomEvent(instance, handler);
}

}  // namespace kv::coretest
