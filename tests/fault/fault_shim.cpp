// Fault injection for end-to-end tests, loaded into the program with LD_PRELOAD and set
// up by environment variables:
//
//   TRELBA_FAULT       EIO | ENOSPC | EACCES
//                                     the call fails with that error from the chosen byte on
//                      EINTR          every other call fails with EINTR from the chosen byte
//                      SHORT          calls move only a few bytes from the chosen byte on
//                      SIGINT | SIGTERM | SIGHUP | SIGPIPE | SIGQUIT | SIGXCPU | SIGXFSZ |
//                      SIGALRM | SIGVTALRM | SIGPROF | SIGUSR1 | SIGUSR2 | SIGKILL
//                                     the signal is raised once the chosen byte is reached
//                      MOVE           nothing but TRELBA_FAULT_MOVE_FROM below
//                      NOMEM          operator new fails for blocks of TRELBA_FAULT_AT
//                                     bytes or more (the other variables are not used)
//                      NOEXCHANGE     renameat2 fails with EINVAL when given flags, as on a
//                                     file system that cannot exchange names (nor the rest)
//                      NOTHREAD       pthread_create fails with EAGAIN once TRELBA_FAULT_AT
//                                     threads have been made (the other variables not used)
//                      BUDGET         operator new fails when the blocks it has handed out
//                                     and not had back would pass TRELBA_FAULT_AT bytes
//   TRELBA_FAULT_CALL  read | write | close | rename | fsync | open   which calls are touched
//                      (close, rename, fsync and open only fail, with the error; rename when
//                      its target matches, and so does linkat, with which the POSIX-only
//                      build moves files to their names; open (and openat) when the name
//                      it is given does)
//   TRELBA_FAULT_PATH  only files whose path holds this text (default: every file)
//   TRELBA_FAULT_AT    bytes that matching calls move before the fault begins (default 0)
//   TRELBA_FAULT_MOVE_FROM, TRELBA_FAULT_MOVE_TO
//                      when the fault begins, first renames the one to the other (once)
//   TRELBA_FAULT_LOG   a file to which every fsync and rename is appended as a line
//                      "fsync PATH" or "rename PATH" (PATH: the file synced, the new name)
//   TRELBA_NO_HARD_LINKS  when set, linkat fails with EPERM, as on a file system without
//                      hard links, with or without a fault
//   TRELBA_CORES       the number of processors the program is told of (get_nprocs, which
//                      std::thread::hardware_concurrency asks), with or without a fault:
//                      runs that must see more cores than the machine has
#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

enum class Kind {
  kNone,
  kError,
  kInterrupted,
  kShort,
  kSignal,
  kMove,
  kNoMemory,
  kNoExchange,
  kNoThread,
  kMemoryBudget
};

struct Config {
  Kind kind = Kind::kNone;
  int error = 0;
  int signal_number = 0;
  const char* call = "";
  const char* path = "";
  unsigned long long at = 0;
  const char* move_from = nullptr;
  const char* move_to = nullptr;
  const char* log = nullptr;
};

struct NamedValue {
  const char* name;
  Kind kind;
  int value;
};

constexpr std::array<NamedValue, 24> kFaults = {{
    {"EIO", Kind::kError, EIO},
    {"EROFS", Kind::kError, EROFS},
    {"ENOSPC", Kind::kError, ENOSPC},
    {"EACCES", Kind::kError, EACCES},
    {"EINTR", Kind::kInterrupted, EINTR},
    {"SHORT", Kind::kShort, 0},
    {"SIGINT", Kind::kSignal, SIGINT},
    {"SIGTERM", Kind::kSignal, SIGTERM},
    {"SIGHUP", Kind::kSignal, SIGHUP},
    {"SIGPIPE", Kind::kSignal, SIGPIPE},
    {"SIGQUIT", Kind::kSignal, SIGQUIT},
    {"SIGXCPU", Kind::kSignal, SIGXCPU},
    {"SIGXFSZ", Kind::kSignal, SIGXFSZ},
    {"SIGALRM", Kind::kSignal, SIGALRM},
    {"SIGVTALRM", Kind::kSignal, SIGVTALRM},
    {"SIGPROF", Kind::kSignal, SIGPROF},
    {"SIGUSR1", Kind::kSignal, SIGUSR1},
    {"SIGUSR2", Kind::kSignal, SIGUSR2},
    {"SIGKILL", Kind::kSignal, SIGKILL},
    {"MOVE", Kind::kMove, 0},
    {"NOMEM", Kind::kNoMemory, 0},
    {"NOEXCHANGE", Kind::kNoExchange, 0},
    {"NOTHREAD", Kind::kNoThread, 0},
    {"BUDGET", Kind::kMemoryBudget, 0},
}};

Config ReadConfig() {
  Config config;
  config.log = std::getenv("TRELBA_FAULT_LOG");
  const char* fault = std::getenv("TRELBA_FAULT");
  if (fault == nullptr) return config;
  for (const NamedValue& named : kFaults) {
    if (std::strcmp(fault, named.name) != 0) continue;
    config.kind = named.kind;
    (named.kind == Kind::kSignal ? config.signal_number : config.error) = named.value;
  }
  if (const char* call = std::getenv("TRELBA_FAULT_CALL")) config.call = call;
  if (const char* path = std::getenv("TRELBA_FAULT_PATH")) config.path = path;
  if (const char* at = std::getenv("TRELBA_FAULT_AT")) config.at = std::strtoull(at, nullptr, 10);
  config.move_from = std::getenv("TRELBA_FAULT_MOVE_FROM");
  config.move_to = std::getenv("TRELBA_FAULT_MOVE_TO");
  return config;
}

const Config& Settings() {
  static const Config config = ReadConfig();
  return config;
}

unsigned long long moved = 0;  // bytes moved by matching calls so far
unsigned long calls = 0;       // matching calls from the fault's byte on
bool signalled = false;

template <typename Function>
Function Next(const char* name) {
  return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// The path the descriptor `fd` leads to.
bool PathOf(int fd, char* path, std::size_t size) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = ::readlink(link, path, size - 1);
  if (n < 0) return false;
  path[n] = '\0';
  return true;
}

bool Matches(const char* call, int fd) {
  const Config& config = Settings();
  if (config.kind != Kind::kError && config.kind != Kind::kInterrupted &&
      config.kind != Kind::kShort && config.kind != Kind::kSignal && config.kind != Kind::kMove) {
    return false;
  }
  if (std::strcmp(config.call, call) != 0) return false;
  if (config.path[0] == '\0') return true;
  char path[4096];
  return PathOf(fd, path, sizeof path) && std::strstr(path, config.path) != nullptr;
}

// Appends "what PATH" to TRELBA_FAULT_LOG, PATH being `name` in the folder `folder`.
void Log(const char* what, int folder, const char* name) {
  const char* const log = Settings().log;
  if (log == nullptr) return;
  char path[4096] = "";
  if (name[0] != '/' && folder != AT_FDCWD && PathOf(folder, path, sizeof path) &&
      name[0] != '\0') {
    std::strncat(path, "/", sizeof path - std::strlen(path) - 1);
  }
  std::strncat(path, name, sizeof path - std::strlen(path) - 1);
  if (std::FILE* out = std::fopen(log, "a")) {
    std::fprintf(out, "%s %s\n", what, path);
    std::fclose(out);
  }
}

// At the fault's first call: TRELBA_FAULT_MOVE_FROM renamed to TRELBA_FAULT_MOVE_TO.
void MoveOnce() {
  static bool done = false;
  const Config& config = Settings();
  if (done || config.move_from == nullptr || config.move_to == nullptr) return;
  done = true;
  static const auto real = Next<int (*)(const char*, const char*)>("rename");
  if (real(config.move_from, config.move_to) != 0) std::abort();
}

// Runs `transfer(fd, count)` (the real read or write) with the configured fault.
template <typename Transfer>
ssize_t Faulty(const char* call, int fd, std::size_t count, Transfer transfer) {
  if (count == 0 || !Matches(call, fd)) return transfer(count);
  const Config& config = Settings();
  if (moved < config.at) {
    // Up to the fault's byte exactly, then the fault.
    const auto before = static_cast<std::size_t>(config.at - moved);
    const ssize_t n = transfer(count < before ? count : before);
    if (n > 0) moved += static_cast<unsigned long long>(n);
    return n;
  }
  ++calls;
  MoveOnce();
  switch (config.kind) {
    case Kind::kError:
      errno = config.error;
      return -1;
    case Kind::kInterrupted:
      if (calls % 2 == 1) {
        errno = EINTR;
        return -1;
      }
      break;
    case Kind::kShort:
      count = count < 1 + calls % 97 ? count : 1 + calls % 97;
      break;
    case Kind::kSignal:
      if (!signalled) {
        signalled = true;
        // To the process, as signals from outside come: whichever thread has it unblocked
        // takes it.
        ::kill(::getpid(), config.signal_number);
      }
      break;
    default:
      break;
  }
  const ssize_t n = transfer(count);
  if (n > 0) moved += static_cast<unsigned long long>(n);
  return n;
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, std::size_t count) {
  static const auto real = Next<ssize_t (*)(int, void*, std::size_t)>("read");
  return Faulty("read", fd, count, [&](std::size_t n) { return real(fd, buffer, n); });
}

extern "C" ssize_t write(int fd, const void* buffer, std::size_t count) {
  static const auto real = Next<ssize_t (*)(int, const void*, std::size_t)>("write");
  return Faulty("write", fd, count, [&](std::size_t n) { return real(fd, buffer, n); });
}

extern "C" int close(int fd) {
  static const auto real = Next<int (*)(int)>("close");
  const bool fail = Matches("close", fd) && Settings().kind == Kind::kError;
  const int result = real(fd);
  if (!fail) return result;
  errno = Settings().error;
  return -1;
}

// Whether `call` of the name `name` (rename: its target) is to fail.
static bool NamedCallFails(const char* call, const char* name) {
  const Config& config = Settings();
  return config.kind == Kind::kError && std::strcmp(config.call, call) == 0 &&
         std::strstr(name, config.path) != nullptr;
}

static bool RenameFails(const char* to) {
  return NamedCallFails("rename", to);
}

// The mode argument of open and openat, there when a file may be created.
static mode_t ModeArgument(int flags, va_list arguments) {
  const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
  return creates ? static_cast<mode_t>(va_arg(arguments, unsigned)) : 0;
}

extern "C" int openat(int folder, const char* name, int flags, ...) {
  static const auto real = Next<int (*)(int, const char*, int, ...)>("openat");
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (NamedCallFails("open", name)) {
    errno = Settings().error;
    return -1;
  }
  return real(folder, name, flags, mode);
}

extern "C" int open(const char* name, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  return openat(AT_FDCWD, name, flags, mode);
}

extern "C" int rename(const char* from, const char* to) {
  static const auto real = Next<int (*)(const char*, const char*)>("rename");
  Log("rename", AT_FDCWD, to);
  if (!RenameFails(to)) return real(from, to);
  errno = Settings().error;
  return -1;
}

extern "C" int renameat(int from_dir, const char* from, int to_dir, const char* to) {
  static const auto real = Next<int (*)(int, const char*, int, const char*)>("renameat");
  Log("rename", to_dir, to);
  if (!RenameFails(to)) return real(from_dir, from, to_dir, to);
  errno = Settings().error;
  return -1;
}

extern "C" int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
  static const auto real = Next<int (*)(int, const char*, int, const char*, int)>("linkat");
  if (RenameFails(to)) {
    errno = Settings().error;
    return -1;
  }
  if (std::getenv("TRELBA_NO_HARD_LINKS") != nullptr) {
    errno = EPERM;
    return -1;
  }
  return real(from_dir, from, to_dir, to, flags);
}

extern "C" int renameat2(int from_dir, const char* from, int to_dir, const char* to,
                         unsigned flags) {
  static const auto real = Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  Log("rename", to_dir, to);
  if (RenameFails(to)) {
    errno = Settings().error;
    return -1;
  }
  if (flags != 0 && Settings().kind == Kind::kNoExchange) {
    errno = EINVAL;
    return -1;
  }
  return real(from_dir, from, to_dir, to, flags);
}

extern "C" int fsync(int fd) {
  static const auto real = Next<int (*)(int)>("fsync");
  Log("fsync", fd, "");
  if (Matches("fsync", fd) && Settings().kind == Kind::kError) {
    errno = Settings().error;
    return -1;
  }
  return real(fd);
}

extern "C" int get_nprocs() {
  if (const char* cores = std::getenv("TRELBA_CORES")) return std::atoi(cores);
  static const auto real = reinterpret_cast<int (*)()>(dlsym(RTLD_NEXT, "get_nprocs"));
  return real();
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                              void* (*start)(void*), void* argument) {
  static std::atomic<unsigned long long> made{0};
  const Config& config = Settings();
  if (config.kind == Kind::kNoThread && made.fetch_add(1) >= config.at) return EAGAIN;
  static const auto real =
      reinterpret_cast<int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)>(
          dlsym(RTLD_NEXT, "pthread_create"));
  return real(thread, attributes, start, argument);
}

// Bytes of the blocks operator new has handed out and not had back (for BUDGET).
std::atomic<unsigned long long> held_bytes{0};

// Every block goes through malloc and free, so that new and delete always pair up.
void* operator new(std::size_t size) {
  const Config& config = Settings();
  if (config.kind == Kind::kNoMemory && size >= config.at) throw std::bad_alloc();
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  if (config.kind == Kind::kMemoryBudget) {
    const std::size_t usable = malloc_usable_size(block);
    if (held_bytes.fetch_add(usable) + usable > config.at) {
      held_bytes.fetch_sub(usable);
      std::free(block);
      throw std::bad_alloc();
    }
  }
  return block;
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void operator delete(void* block) noexcept {
  if (block != nullptr && Settings().kind == Kind::kMemoryBudget) {
    held_bytes.fetch_sub(malloc_usable_size(block));
  }
  std::free(block);
}
void operator delete[](void* block) noexcept {
  operator delete(block);
}
void operator delete(void* block, std::size_t) noexcept {
  operator delete(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  operator delete(block);
}
