// Runs a command and reports its wall-clock time and peak resident memory, one line:
//   <seconds> s, <megabytes> MB peak, exit <code>
// Used by bench/run.sh; dependency-free so benchmarks run on a bare machine.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: kv_measure COMMAND [ARGS...]\n");
    return 3;
  }
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::fprintf(stderr, "%.3f s, %.1f MB peak, exit %d\n", seconds, usage.ru_maxrss / 1024.0, code);
  return code;
}
