// The host's own class that scripts get to use: a thermostat with a target temperature, a
// method that moves it, and an event raised when the target goes above its limit.
#pragma once

#include <kvscript/kvscript.h>

namespace demo {

class TThermostat : public kv::TObject {
  KV_CLASS(TThermostat, kv::TObject)

 public:
  double Target() const { return target_; }
  void SetTarget(double value);
  // Moves the target by delta degrees and answers the new target.
  double Adjust(double delta);

  double Limit = 30.0;
  // Published as OnOverheat; fired with the thermostat as Sender.
  kv::TMethod OnOverheat;

 private:
  double target_ = 20.0;
};

// Adds TThermostat, its members and the Log function to what scripts can reach.
void RegisterHostApi(kv::HostLibrary& host);

}  // namespace demo
