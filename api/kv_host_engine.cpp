// The public engine object: start-up and shut-down, the host's library, message redirection.
#include "api/kv_startup.h"
#include "host/core/message_service.h"
#include "kvscript/kvscript.h"

namespace kv {

// The public bits are the start-up sequence's.
static_assert(unsigned{kSystemLibrary} == klSystem && unsigned{kClassesLibrary} == klClasses &&
              unsigned{kGraphicsLibrary} == klGraphics && unsigned{kFormsLibrary} == klForms &&
              unsigned{kExtCtrlsLibrary} == klExtCtrls &&
              unsigned{kAllLibraries} == klAllLibraries);

namespace {
bool gEngineRunning = false;
}  // namespace

// Each service the host did not redirect keeps the console's behaviour.
class Engine::Messages : public TMessageService {
 public:
  ShowMessageHandler show;
  InputQueryHandler input;

  void ShowMessage(const UString& text) override {
    if (show)
      show(text);
    else
      console_.ShowMessage(text);
  }
  bool InputQuery(const UString& caption, const UString& prompt, UString& value) override {
    return input ? input(caption, prompt, value) : console_.InputQuery(caption, prompt, value);
  }

 private:
  TConsoleMessageService console_;
};

Engine::Engine(unsigned libraries) {
  if (gEngineRunning)
    throw Exception(UString(u"The engine is already running: a process has one engine at a time"));
  StartEngine(libraries);
  gEngineRunning = true;
}

Engine::~Engine() {
  host_.reset();
  if (messages_) SetMessageService(nullptr);
  StopEngine();
  gEngineRunning = false;
}

HostLibrary& Engine::Host() {
  if (!host_) host_ = std::make_unique<HostLibrary>(u"host");
  return *host_;
}

void Engine::SetMessageHandlers(ShowMessageHandler show, InputQueryHandler input) {
  if (!messages_) messages_ = std::make_unique<Messages>();
  messages_->show = std::move(show);
  messages_->input = std::move(input);
  SetMessageService(messages_.get());
}

}  // namespace kv
