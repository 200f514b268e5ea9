#include "engine/kv_registration_checks.h"

#include <vector>

#include "engine/kv_script.h"
#include "host/core/exceptions.h"

namespace kv {

namespace {

struct NotedName {
  UString typeName;
  UString declaration;
};

std::vector<NotedName> gNoted;

bool TypeNameKnown(UStringView typeName) {
  const TkvScript* global = GlobalScript();
  return !global || global->FindItem(typeName) != nullptr;
}

}  // namespace

void BadDeclaration(UStringView declaration, const UString& reason) {
  throw Exception(u"Bad declaration '" + UString(declaration) + u"': " + reason);
}

void NoteTypeName(UStringView typeName, UStringView declaration) {
  if (!TypeNameKnown(typeName)) gNoted.push_back({UString(typeName), UString(declaration)});
}

// The list is emptied first: a name reported once is not reported again.
void CheckNotedTypeNames() {
  if (gNoted.empty()) return;
  const std::vector<NotedName> noted = std::move(gNoted);
  gNoted.clear();
  for (const NotedName& name : noted)
    if (!TypeNameKnown(name.typeName))
      BadDeclaration(name.declaration, u"unknown type " + name.typeName);
}

void ForgetNotedTypeNames() { gNoted.clear(); }

}  // namespace kv
