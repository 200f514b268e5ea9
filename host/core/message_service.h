// Message and input boxes go through one replaceable service: the tester installs one that
// shows dialogs, the command-line runner one that writes to standard output and reads
// standard input. The service in force is the console one until a host installs another.
#pragma once

#include "host/core/ustring.h"

namespace kv {

class TMessageService {
 public:
  virtual ~TMessageService() = default;
  // Shows a text and returns when the user has seen it.
  virtual void ShowMessage(const UString& text) = 0;
  // Asks for a line of text; false when the user cancelled (value is then unchanged).
  virtual bool InputQuery(const UString& caption, const UString& prompt, UString& value) = 0;
};

// Writes messages as UTF-8 lines to standard output; reads answers from standard input
// (end of input cancels). A message or prompt that cannot be written raises EWriteError.
class TConsoleMessageService : public TMessageService {
 public:
  void ShowMessage(const UString& text) override;
  bool InputQuery(const UString& caption, const UString& prompt, UString& value) override;
};

// The service in force; never null. SetMessageService(nullptr) restores the console one.
// The caller keeps ownership of the service it installs.
TMessageService& MessageService();
void SetMessageService(TMessageService* service);

}  // namespace kv
