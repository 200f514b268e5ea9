#include "cli/kv_standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kv {

void ReserveStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // open() takes the lowest free descriptor, which is this one: lower ones are open.
    const int placeholder = open("/dev/null", O_RDONLY);
    if (placeholder != -1 && placeholder != fd) close(placeholder);
  }
}

bool StandardOutputDelivered() {
  errno = 0;
  const bool flushed = std::fflush(stdout) == 0;
  const int reason = errno;
  if (flushed && !std::ferror(stdout)) return true;
  // The stream's error flag stays set after an earlier failed write, whose reason is gone.
  std::fprintf(stderr, "kvscript: cannot write standard output%s%s\n", reason ? ": " : "",
               reason ? std::strerror(reason) : "");
  return false;
}

}  // namespace kv
