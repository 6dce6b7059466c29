#include "run_tool.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace trelba::test {

StartedRun StartTrelba(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                       const RunOptions& options, const std::string& tag) {
  StartedRun run{-1, cwd / (".stdout" + tag), cwd / (".stderr" + tag), -1};
  int pipe_ends[2] = {-1, -1};
  if (options.standard_input && ::pipe(pipe_ends) != 0) std::abort();
  run.pid = ::fork();
  if (run.pid == 0) {
    // An ignored or blocked signal stays so across exec: the program starts as from an
    // interactive shell, whatever the tests were started under (nohup ignores SIGHUP, a
    // background job of a script SIGINT and SIGQUIT).
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
      if (signal_number != SIGKILL && signal_number != SIGSTOP) ::signal(signal_number, SIG_DFL);
    }
    sigset_t unblocked;
    ::sigemptyset(&unblocked);
    ::sigprocmask(SIG_SETMASK, &unblocked, nullptr);
    if (options.standard_input) {
      ::dup2(pipe_ends[0], 0);
      ::close(pipe_ends[0]);
      ::close(pipe_ends[1]);
    } else {
      const int none = ::open("/dev/null", O_RDONLY);
      ::dup2(none, 0);
      ::close(none);
    }
    const int out = ::open(run.out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(run.err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::close(out);
    ::close(err);
    if (options.output_appended_to) {
      const int into =
          ::open(options.output_appended_to->c_str(), O_WRONLY | O_APPEND | O_CREAT, 0644);
      if (into < 0) ::_exit(127);
      ::dup2(into, 1);
      ::close(into);
    }
    if (options.close_output) {
      ::close(1);
      ::close(2);
    }
    if (options.close_input) ::close(0);
    for (const auto& [name, value] : options.environment) ::setenv(name.c_str(), value.c_str(), 1);
    if (options.inject_faults) {
      ::setenv("LD_PRELOAD", TRELBA_FAULT_SHIM, 1);
      // Under AddressSanitizer the shim comes before the sanitizer's runtime.
      const char* asan = std::getenv("ASAN_OPTIONS");
      const std::string asan_options =
          std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0";
      ::setenv("ASAN_OPTIONS", asan_options.c_str(), 1);
    }
    if (options.file_size_limit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(127);
    }
    // A run killed by a signal that dumps core (SIGQUIT, SIGXCPU) writes none.
    const rlimit no_core{0, 0};
    ::setrlimit(RLIMIT_CORE, &no_core);
    if (options.umask >= 0) ::umask(static_cast<mode_t>(options.umask));
    if (options.alarm_seconds != 0) ::alarm(options.alarm_seconds);
    std::vector<char*> argv;
    static char program[] = TRELBA_BINARY;
    argv.push_back(program);
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program, argv.data());
    ::_exit(127);
  }
  if (options.standard_input) {
    ::close(pipe_ends[0]);
    run.input_pipe = pipe_ends[1];
  }
  return run;
}

RunResult FinishTrelba(const StartedRun& run, const RunOptions& options) {
  if (run.input_pipe >= 0) {
    // The program may stop reading early (an error): then the rest is not wanted.
    const auto previous = ::signal(SIGPIPE, SIG_IGN);
    const std::string& input = *options.standard_input;
    std::size_t at = 0;
    while (at < input.size()) {
      const ssize_t n = ::write(run.input_pipe, input.data() + at, input.size() - at);
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::close(run.input_pipe);
    ::signal(SIGPIPE, previous);
  }
  RunResult result;
  int wait_status = 0;
  ::waitpid(run.pid, &wait_status, 0);
  result.status =
      WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : KilledBy(WTERMSIG(wait_status));
  result.out = ReadFile(run.out_path);
  result.err = ReadFile(run.err_path);
  std::filesystem::remove(run.out_path);
  std::filesystem::remove(run.err_path);
  return result;
}

RunResult RunTrelba(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                    const RunOptions& options) {
  return FinishTrelba(StartTrelba(args, cwd, options), options);
}

RunResult RunTrelbaPiped(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                         const std::string& input) {
  RunOptions options;
  options.standard_input = input;
  return RunTrelba(args, cwd, options);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "trelba-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> LeftoverTemporaryFiles(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".") && name.ends_with(".tmp")) names.push_back(name);
  }
  return names;
}

Reports Analyse(const ScratchDir& dir, const std::string& name, const std::string& content,
                const std::string& code) {
  WriteFile(dir / name, content);
  const RunResult run = RunTrelba({name, code}, dir.path());
  return {run.status, run.err, ReadFile(dir / (name + ".freq")), ReadFile(dir / (name + ".iik")),
          ReadFile(dir / (name + ".ok"))};
}

void ExpectSameReports(const Reports& plain, const Reports& packed, const std::string& what) {
  ASSERT_EQ(plain.status, 0) << what << ": " << plain.err;
  ASSERT_EQ(packed.status, 0) << what << ": " << packed.err;
  EXPECT_TRUE(packed.freq == plain.freq) << what;
  EXPECT_TRUE(packed.iik == plain.iik) << what;
  EXPECT_EQ(packed.ok, plain.ok) << what;
}

std::filesystem::path TestData() {
  return TRELBA_TEST_DATA;
}

}  // namespace trelba::test
