#include "thermostat.h"

#include <iostream>

namespace demo {

// The published event lets the engine store a script procedure in OnOverheat; the
// constructor lets scripts write TThermostat.Create.
KV_DEFINE_CLASS(TThermostat, kv::TObject) {
  c.Constructor();
  c.Event("OnOverheat", "TNotifyEvent", &TThermostat::OnOverheat);
}

void TThermostat::SetTarget(double value) {
  target_ = value;
  if (target_ > Limit && OnOverheat.Assigned()) {
    kv::TEventArgs args{kv::TVarRec::Object(Handle())};
    // A copy: the handler may assign another procedure to the event while it runs.
    const auto handler = OnOverheat.Code;
    handler(args);
  }
}

double TThermostat::Adjust(double delta) {
  SetTarget(target_ + delta);
  return target_;
}

void RegisterHostApi(kv::HostLibrary& host) {
  host.Function(u"procedure Log(Text: String)", u"demo", [](kv::TkvParams& p) {
    std::cout << "log: " << kv::ToUtf8(kv::StrArg(p, 0)) << '\n';
  });

  auto c = host.Class<TThermostat>(u"TObject");
  c.Constructor(u"constructor Create");
  c.Property(
      u"Target", u"Double", [](TThermostat& self) { return self.Target(); },
      [](TThermostat& self, const kv::Variant& v) { self.SetTarget(v.ToDouble()); });
  c.Method(u"function Adjust(Delta: Double): Double",
           [](TThermostat& self, kv::TkvParams& p) { return self.Adjust(kv::FloatArg(p, 0)); });
  c.Event(u"OnOverheat", kv::TkvNotifyEvent::New);
}

}  // namespace demo
