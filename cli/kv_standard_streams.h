// The runner's standard streams: output that could not be written is a failure the runner
// must report, never a success.
#pragma once

namespace kv {

// A standard descriptor the runner was started without (`kvscript x.pas >&-`) is taken by a
// read-only placeholder, so no file the script opens can become standard output and
// receive its messages, and every write to it fails as it should.
void ReserveStandardDescriptors();

// Flushes standard output; true when everything written to it so far reached it. When not,
// writes "kvscript: cannot write standard output: REASON" to standard error.
bool StandardOutputDelivered();

}  // namespace kv
