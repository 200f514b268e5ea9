// The application object: the bridge between Qt's event loop and the host classes.
//
// Every entry from Qt into our code (an event filter, a signal, a timer, a paint) runs
// through Guarded: an exception a script handler raises there is shown by the error display
// and never reaches Qt's loop, and the program goes on. Events fired while a script calls
// into the host (Form.Close from a script, say) are not guarded: their exceptions travel back
// to the script like any other host error.
#pragma once

#include <exception>
#include <utility>

#include "host/core/component.h"
#include "host/core/exceptions.h"
#include "host/core/ustring.h"

namespace kv {

// Where the errors of guarded entries go: the script tester shows a message box, the
// command-line runner writes to standard error and remembers that it did.
class TErrorDisplay {
 public:
  virtual ~TErrorDisplay() = default;
  virtual void ShowError(const UString& message) = 0;
};

// Writes each message as a UTF-8 line to standard error.
class TConsoleErrorDisplay : public TErrorDisplay {
 public:
  void ShowError(const UString& message) override;
};

class TApplication : public TComponent {
  KV_CLASS(TApplication, TComponent)

 public:
  TApplication();
  ~TApplication() override;

  // Handles the events waiting in Qt's queue, then returns.
  void ProcessMessages();
  // Reports an exception through the error display and counts it.
  void ShowException(const std::exception& e);
  void ShowException(const UString& message);
  // How many errors the error display was given since start-up.
  int ErrorCount() const { return errorCount_; }

  // The display in force; never null. SetErrorDisplay(nullptr) restores the console one.
  // The caller keeps ownership of the display it installs.
  TErrorDisplay& ErrorDisplay() const;
  void SetErrorDisplay(TErrorDisplay* display) { display_ = display; }

  // Runs `entry` for Qt: any exception is shown and swallowed. A nested depth is kept so
  // that host code knows whether a Qt delivery is on the stack.
  template <class F>
  void Guarded(F&& entry) noexcept {
    ++deliveryDepth_;
    try {
      std::forward<F>(entry)();
    } catch (const std::exception& e) {
      ShowException(e);
    } catch (...) {
      ShowException(UString(u"Unknown error"));
    }
    --deliveryDepth_;
  }
  int DeliveryDepth() const { return deliveryDepth_; }

 private:
  TErrorDisplay* display_ = nullptr;
  int errorCount_ = 0;
  int deliveryDepth_ = 0;
};

// The application object; created by StartApplication after the QApplication exists.
// Raises when there is none.
TApplication& Application();
TApplication* ExistingApplication();
// The program's main creates its QApplication first, then calls StartApplication; it calls
// StopApplication before the QApplication goes.
void StartApplication();
void StopApplication();

// Runs `entry` guarded by the application when there is one; otherwise (no application:
// host code driving controls without Qt's loop) exceptions are dropped after printing.
template <class F>
void GuardedEntry(F&& entry) noexcept {
  if (TApplication* app = ExistingApplication()) {
    app->Guarded(std::forward<F>(entry));
    return;
  }
  try {
    std::forward<F>(entry)();
  } catch (const std::exception& e) {
    TConsoleErrorDisplay().ShowError(ExceptionMessage(e));
  } catch (...) {
  }
}

}  // namespace kv
