// TTimer: fires OnTimer every Interval milliseconds while Enabled, from Qt's event loop (a
// script's modal form or the runner's final loop runs it). An Interval of 0, or no OnTimer
// handler, never ticks.
#pragma once

#include <memory>

#include "host/core/component.h"

class QTimer;

namespace kv {

// Published: Enabled, Interval; event OnTimer.
class TTimer : public TComponent {
  KV_CLASS(TTimer, TComponent)

 public:
  explicit TTimer(TComponent* owner = nullptr);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Milliseconds; a negative interval raises.
  int32_t Interval() const { return interval_; }
  void SetInterval(int32_t interval);
  const TMethod& GetOnTimer() const { return onTimer_; }
  void SetOnTimer(const TMethod& handler);

 private:
  void UpdateTimer();
  void Tick();

  std::unique_ptr<QTimer> timer_;
  bool enabled_ = true;
  int32_t interval_ = 1000;
  TMethod onTimer_;
  bool ticking_ = false;
};

}  // namespace kv
