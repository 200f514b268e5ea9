// The registered language front end.
#include "engine/kv_ifrontend.h"

namespace kv {

namespace {
TkvFrontEnd* gFrontEnd = nullptr;  // owned by the front end
}  // namespace

void SetFrontEnd(TkvFrontEnd* frontEnd) { gFrontEnd = frontEnd; }

TkvFrontEnd* FrontEnd() { return gFrontEnd; }

}  // namespace kv
