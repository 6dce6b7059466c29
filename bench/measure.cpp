// Runs one command and prints its wall time in seconds, its peak resident set in KiB and
// the processor time it took (user and system, every thread), "SECONDS KIB CPU_SECONDS",
// measured for the command alone (the child is started with posix_spawn, so the measuring
// process's own memory is not counted).
//
// usage: measure [--stdout FILE] COMMAND [ARGS...]
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstring>

extern char** environ;

int main(int argc, char** argv) {
  int first = 1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (argc > 2 && std::strcmp(argv[1], "--stdout") == 0) {
    posix_spawn_file_actions_addopen(&actions, 1, argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    first = 3;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: measure [--stdout FILE] COMMAND [ARGS...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[first], &actions, nullptr, argv + first, environ) != 0) {
    std::perror(argv[first]);
    return 2;
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  std::printf("%.6f %ld %.6f\n", elapsed.count(), usage.ru_maxrss,
              seconds(usage.ru_utime) + seconds(usage.ru_stime));
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
