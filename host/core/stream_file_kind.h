// Which files a file stream may use. Opening a file must never hang the process, and a script
// must never reach the memory of a process or of the machine through a file: writing there
// corrupts a running program (this one included), reading there reveals it.
#pragma once

#include <optional>
#include <string>

#include "host/core/ustring.h"

namespace kv {

// Why a stream must not open the file at `path` (a system name), judged before opening it,
// or nothing when the name does not rule it out. Refusing before opening means a named pipe
// never wakes a program waiting for a reader, and a memory device is never opened at all.
std::optional<UString> WhyStreamsRefuseName(const std::string& path);

// Why a stream must not use the open file `fd`, or nothing when it may: directories, named
// pipes, sockets, and memory pseudo-files (/proc/PID/mem, /proc/kcore, /dev/mem, /dev/kmem,
// /dev/port, under whatever name or link they were reached). Ordinary character devices such
// as /dev/null pass. This is the check that holds: the file may have changed since its name
// was judged.
std::optional<UString> WhyStreamsRefuse(int fd);

}  // namespace kv
