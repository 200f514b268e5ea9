#include "host/gui/application.h"

#include <QApplication>
#include <cstdio>
#include <string>

#include "host/core/class_builder.h"

namespace kv {

KV_DEFINE_CLASS(TApplication, TComponent) {}

namespace {

TApplication* gApplication = nullptr;

TConsoleErrorDisplay& ConsoleDisplay() {
  static TConsoleErrorDisplay display;
  return display;
}

}  // namespace

void TConsoleErrorDisplay::ShowError(const UString& message) {
  std::string line = ToUtf8(message);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() = default;

void TApplication::ProcessMessages() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::ShowException(const std::exception& e) { ShowException(ExceptionMessage(e)); }

void TApplication::ShowException(const UString& message) {
  ++errorCount_;
  ErrorDisplay().ShowError(message);
}

TErrorDisplay& TApplication::ErrorDisplay() const {
  return display_ ? *display_ : ConsoleDisplay();
}

TApplication& Application() {
  if (!gApplication) throw Exception(u"The application object has not been started");
  return *gApplication;
}

TApplication* ExistingApplication() { return gApplication; }

void StartApplication() {
  if (!gApplication) gApplication = new TApplication();
}

void StopApplication() {
  TApplication* doomed = gApplication;
  gApplication = nullptr;
  delete doomed;
}

}  // namespace kv
