// The start-up and shut-down sequence of a program that runs scripts, in one place and in
// an explicit order (never the order of static initialisers).
#pragma once

namespace kv {

// Creates the global script object and event list, registers the grammars, installs the
// front end and registers every binding library.
void StartEngine();
// Undoes StartEngine in reverse order.
void StopEngine();

}  // namespace kv
