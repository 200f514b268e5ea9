#include "rtti/kv_ievents.h"

#include <iterator>

namespace kv {

namespace {

using As = TkvEventAdapter::WriteBackAs;

// One entry per argument, Sender first.
constexpr As kNotify[] = {As::Nothing};
constexpr As kMouse[] = {As::Nothing, As::Nothing, As::Nothing, As::Nothing, As::Nothing};
constexpr As kMouseMove[] = {As::Nothing, As::Nothing, As::Nothing, As::Nothing};
constexpr As kKey[] = {As::Nothing, As::Word, As::Nothing};
constexpr As kKeyPress[] = {As::Nothing, As::FirstChar};
constexpr As kClose[] = {As::Nothing, As::Integer};
constexpr As kCloseQuery[] = {As::Nothing, As::Boolean};
constexpr As kCanResize[] = {As::Nothing, As::Integer, As::Integer, As::Boolean};

// The record the host reads back, made from the handler's value as the event's shape says.
void StoreInto(TVarRec& record, As as, const Variant& value) {
  switch (as) {
    case As::Nothing:
      return;
    case As::Word:
      record = TVarRec::Integer(value.ToInt() & 0xFFFF);
      return;
    case As::FirstChar: {
      const UString text = value.ToString();
      record = TVarRec::Char(text.empty() ? u'\0' : text[0]);
      return;
    }
    case As::Integer:
      record = TVarRec::Integer(value.ToInt());
      return;
    case As::Boolean:
      record = TVarRec::Boolean(value.ToBool());
      return;
  }
}

}  // namespace

TkvEventAdapter::TkvEventAdapter(TObject* instance, TkvProcVariable* handler, int argumentCount,
                                 const WriteBackAs* writeBack)
    : TkvCustomEvent(instance, handler), argumentCount_(argumentCount), writeBack_(writeBack) {}

void TkvEventAdapter::WriteBack(TEventArgs& args) {
  const int declared = Handler->ItemCount();
  for (int i = 0; i < argumentCount_ && i < declared && i < static_cast<int>(args.size()); ++i) {
    TkvParamItem* param = Handler->ParamAt(i);
    if (param->IsVar) StoreInto(args[static_cast<size_t>(i)], writeBack_[i], param->GetValue());
  }
}

#define KV_EVENT_ADAPTER_IMPL(Name, table)                \
  Name::Name(TObject* instance, TkvProcVariable* handler) \
      : TkvEventAdapter(instance, handler, static_cast<int>(std::size(table)), table) {}

KV_EVENT_ADAPTER_IMPL(TkvNotifyEvent, kNotify)
KV_EVENT_ADAPTER_IMPL(TkvMouseEvent, kMouse)
KV_EVENT_ADAPTER_IMPL(TkvMouseMoveEvent, kMouseMove)
KV_EVENT_ADAPTER_IMPL(TkvKeyEvent, kKey)
KV_EVENT_ADAPTER_IMPL(TkvKeyPressEvent, kKeyPress)
KV_EVENT_ADAPTER_IMPL(TkvCloseEvent, kClose)
KV_EVENT_ADAPTER_IMPL(TkvCloseQueryEvent, kCloseQuery)
KV_EVENT_ADAPTER_IMPL(TkvCanResizeEvent, kCanResize)

}  // namespace kv
