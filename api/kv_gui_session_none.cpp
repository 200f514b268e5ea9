#include "api/kv_gui_session.h"

namespace kv {

void StartGuiSession(int&, char**) {}
void FinishGuiSession() {}
int GuiErrorCount() { return 0; }
void StopGuiSession() {}

}  // namespace kv
