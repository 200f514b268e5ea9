#include "host/core/message_service.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace kv {

namespace {
TConsoleMessageService gConsole;
TMessageService* gService = &gConsole;
}  // namespace

void TConsoleMessageService::ShowMessage(const UString& text) {
  std::string line = ToUtf8(text);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

bool TConsoleMessageService::InputQuery(const UString& caption, const UString& prompt,
                                        UString& value) {
  std::string ask = ToUtf8(prompt.empty() ? caption : prompt);
  if (!ask.empty()) {
    ask += ": ";
    std::fwrite(ask.data(), 1, ask.size(), stdout);
    std::fflush(stdout);
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
