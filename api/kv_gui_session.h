// The GUI side of a program that runs scripts: the QApplication and the host's application
// object around the script's run. Without the Qt layers (a build with KV_GUI off) every
// function does nothing.
#pragma once

namespace kv {

// Creates the QApplication (on Qt's offscreen platform when no display is set) and the
// application object, whose errors go to standard error.
void StartGuiSession(int& argc, char** argv);
// After the script: handles what is pending and, when the script left windows open on a
// real display, waits until the user closed them all.
void FinishGuiSession();
// How many errors escaped event handlers (each was shown on standard error).
int GuiErrorCount();
// Frees the forms the script left and ends the application.
void StopGuiSession();

}  // namespace kv
