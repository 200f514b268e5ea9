// The start-up and shut-down sequence of a program that runs scripts, in one place and in
// an explicit order (never the order of static initialisers).
#pragma once

namespace kv {

// The binding libraries a program may start, as bits. The GUI ones exist only in a build
// with the Qt layers; forms and extended controls need graphics, which they start too.
enum TkvLibrary : unsigned {
  klSystem = 1,     // built-in routines and constants
  klClasses = 2,    // core classes: lists, string lists, streams, components
  klGraphics = 4,   // colours, fonts, pens, brushes, canvases, bitmaps
  klForms = 8,      // forms and standard controls
  klExtCtrls = 16,  // extended controls
  klAllLibraries = 31,
};

// Whether this build has the libraries of the Qt layers.
bool GuiLibrariesBuilt();

// Creates the global script object and event list, registers the grammars, installs the
// front end and starts the binding libraries asked for (every one the build has by
// default). Asking for a GUI library in a build without the Qt layers raises.
void StartEngine(unsigned libraries = klAllLibraries);
// Undoes StartEngine in reverse order.
void StopEngine();

}  // namespace kv
