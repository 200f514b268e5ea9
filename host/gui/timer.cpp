#include "host/gui/timer.h"

#include <QTimer>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/handles.h"
#include "host/gui/application.h"

namespace kv {

KV_DEFINE_CLASS(TTimer, TComponent) {
  c.Constructor();
  c.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
  c.Property("Interval", &TTimer::Interval, &TTimer::SetInterval);
  c.Event("OnTimer", "TNotifyEvent", &TTimer::GetOnTimer, &TTimer::SetOnTimer);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner), timer_(std::make_unique<QTimer>()) {
  QObject::connect(timer_.get(), &QTimer::timeout, [this] { Tick(); });
}

// A timer destroyed from inside its own tick (its owner freed by the handler) leaves the Qt
// timer to Qt's loop: Qt is still delivering that timer's event.
TTimer::~TTimer() {
  if (!ticking_) return;
  timer_->stop();
  timer_->disconnect();
  timer_.release()->deleteLater();
}

void TTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(int32_t interval) {
  if (interval < 0)
    throw ERangeError(u"Interval must not be negative (" + IntToUStr(interval) + u")");
  interval_ = interval;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TMethod& handler) {
  onTimer_ = handler;
  UpdateTimer();
}

// Restarting on every change is the host's way: a new interval counts from now.
void TTimer::UpdateTimer() {
  timer_->stop();
  if (enabled_ && interval_ > 0 && onTimer_.Assigned()) timer_->start(interval_);
}

void TTimer::Tick() {
  GuardedEntry([this] {
    if (FreePending() || !onTimer_.Assigned()) return;
    // Declared before the busy scope, so it ends after it: the scope may destroy the
    // timer, which must still know it is ticking.
    struct Ticking {
      TTimer* timer;
      int32_t handle;
      ~Ticking() {
        if (handles::Find(handle) == timer) timer->ticking_ = false;
      }
    } ticking{this, Handle()};
    ticking_ = true;
    TBusyScope busy(*this);
    TEventArgs args{TVarRec::Object(Handle())};
    onTimer_.Code(args);
  });
}

}  // namespace kv
