// The event adapters: one class per shape of host event. A binding library names the class
// when it defines an event (Event(u"OnClick", TkvNotifyEvent::New)); assigning a script
// procedure then creates an adapter that packs the host's arguments, calls the procedure and
// writes its var parameters back into the host's by-reference arguments.
//
// Argument lists, as the host fires them and the handler receives them (Sender first):
//
//   TkvNotifyEvent       Sender
//   TkvMouseEvent        Sender, Button (TMouseButton ordinal), Shift (TShiftState bits), X, Y
//   TkvMouseMoveEvent    Sender, Shift, X, Y
//   TkvKeyEvent          Sender, var Key (virtual-key code, written back as 16 bits), Shift
//   TkvKeyPressEvent     Sender, var Key (a character; written back as the first character
//                        of the handler's value, #0 for an empty string)
//   TkvCloseEvent        Sender, var Action (TCloseAction ordinal)
//   TkvCloseQueryEvent   Sender, var CanClose (Boolean)
//   TkvCanResizeEvent    Sender, var NewWidth, var NewHeight, var Resize (Boolean)
//
// A parameter the handler does not declare as var, or does not declare at all, leaves the
// host's argument as the host passed it.
#pragma once

#include "engine/kv_iinterpreter.h"

namespace kv {

// The adapters share one implementation; each names its argument count and how its
// by-reference arguments come back.
class TkvEventAdapter : public TkvCustomEvent {
 public:
  enum class WriteBackAs : uint8_t { Nothing, Word, FirstChar, Integer, Boolean };

  TkvEventAdapter(TObject* instance, TkvProcVariable* handler, int argumentCount,
                  const WriteBackAs* writeBack);
  void WriteBack(TEventArgs& args) override;
  int ArgumentCount() const override { return argumentCount_; }

 private:
  int argumentCount_;
  const WriteBackAs* writeBack_;  // one entry per argument; static storage
};

#define KV_EVENT_ADAPTER(Name)                                                \
  class Name : public TkvEventAdapter {                                       \
   public:                                                                    \
    Name(TObject* instance, TkvProcVariable* handler);                        \
    static TkvCustomEvent* New(TObject* instance, TkvProcVariable* handler) { \
      return new Name(instance, handler);                                     \
    }                                                                         \
  };

KV_EVENT_ADAPTER(TkvNotifyEvent)
KV_EVENT_ADAPTER(TkvMouseEvent)
KV_EVENT_ADAPTER(TkvMouseMoveEvent)
KV_EVENT_ADAPTER(TkvKeyEvent)
KV_EVENT_ADAPTER(TkvKeyPressEvent)
KV_EVENT_ADAPTER(TkvCloseEvent)
KV_EVENT_ADAPTER(TkvCloseQueryEvent)
KV_EVENT_ADAPTER(TkvCanResizeEvent)

#undef KV_EVENT_ADAPTER

}  // namespace kv
