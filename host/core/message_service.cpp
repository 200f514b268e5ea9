#include "host/core/message_service.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "host/core/exceptions.h"

namespace kv {

namespace {
TConsoleMessageService gConsole;
TMessageService* gService = &gConsole;

// A message that cannot be written raises, so a script does not go on as though its user
// had seen it (standard output on a full disk, a closed descriptor).
void WriteOut(const std::string& text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (written && std::fflush(stdout) == 0) return;
  const int reason = errno;
  throw EWriteError(u"Cannot write standard output" +
                    (reason ? u": " + FromUtf8(std::strerror(reason)) : UString()));
}

}  // namespace

void TConsoleMessageService::ShowMessage(const UString& text) {
  std::string line = ToUtf8(text);
  line.push_back('\n');
  WriteOut(line);
}

bool TConsoleMessageService::InputQuery(const UString& caption, const UString& prompt,
                                        UString& value) {
  std::string ask = ToUtf8(prompt.empty() ? caption : prompt);
  if (!ask.empty()) {
    ask += ": ";
    WriteOut(ask);
  }
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  value = FromUtf8(line);
  return true;
}

TMessageService& MessageService() { return *gService; }

void SetMessageService(TMessageService* service) { gService = service ? service : &gConsole; }

}  // namespace kv
