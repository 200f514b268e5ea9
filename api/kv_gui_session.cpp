#include "api/kv_gui_session.h"

#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/gui/application.h"
#include "host/gui/form.h"

namespace kv {

namespace {

// Deliberately not freed at exit: Qt must not be torn down by static destructors, after
// its own statics; StopGuiSession is the way out.
QApplication* gQtApplication = nullptr;

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// Qt complains on standard error about a missing runtime folder; a private one keeps the
// runner's error output to the script's own.
void EnsureRuntimeFolder() {
  if (std::getenv("XDG_RUNTIME_DIR")) return;
  const std::string folder = "/tmp/kvscript-runtime-" + std::to_string(getuid());
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
  setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

// Standard error carries the script's errors: Qt's own chatter stays out of it.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

bool AnyFormShown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) return true;
  return false;
}

}  // namespace

void StartGuiSession(int& argc, char** argv) {
  if (!HasDisplay()) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  EnsureRuntimeFolder();
  qInstallMessageHandler(QuietQtMessages);
  if (!gQtApplication) gQtApplication = new QApplication(argc, argv);
  StartApplication();
}

void FinishGuiSession() {
  Application().ProcessMessages();
  if (QGuiApplication::platformName() == QLatin1String("offscreen")) return;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&loop] {
    if (!AnyFormShown()) loop.quit();
  });
  poll.start(100);
  if (AnyFormShown()) loop.exec();
}

int GuiErrorCount() {
  TApplication* app = ExistingApplication();
  return app ? app->ErrorCount() : 0;
}

void StopGuiSession() {
  FreeRemainingForms();
  StopApplication();
  delete gQtApplication;
  gQtApplication = nullptr;
}

}  // namespace kv
