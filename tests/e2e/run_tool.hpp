// Running the built Trelba binary in a scratch folder, for end-to-end tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trelba::test {

struct RunResult {
  int status = -1;  // exit status as the shell sees it (255 for -1)
  std::string out;  // standard output
  std::string err;  // standard error
};

// How the process is set up beyond its arguments.
struct RunOptions {
  // Environment variables added to the test's own.
  std::vector<std::pair<std::string, std::string>> environment;
  bool inject_faults = false;  // preload the fault shim of tests/fault
  long file_size_limit = -1;   // RLIMIT_FSIZE in bytes; -1 leaves it as it is
  bool close_output = false;   // start with standard output and error closed
  bool close_input = false;    // start with standard input closed
  // Standard output appended to this file (as `>> name` in the folder) instead of captured.
  std::optional<std::string> output_appended_to;
  int umask = -1;              // the file mode creation mask; -1 leaves it as it is
  unsigned alarm_seconds = 0;  // SIGALRM after this long (0: never), against hangs
  // Fed to standard input through a pipe; without it, standard input is /dev/null.
  std::optional<std::string> standard_input;
};

// Runs Trelba with `args` in the folder `cwd`.
RunResult RunTrelba(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                    const RunOptions& options = {});

// The same with `input` fed to its standard input through a pipe.
RunResult RunTrelbaPiped(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                         const std::string& input);

// Starts Trelba like RunTrelba without waiting for it; FinishTrelba feeds its standard
// input, if any, and waits for it.
struct StartedRun {
  int pid = -1;
  std::filesystem::path out_path;
  std::filesystem::path err_path;
  int input_pipe = -1;  // the writing end of its standard input, when options give one
};
StartedRun StartTrelba(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                       const RunOptions& options = {}, const std::string& tag = "");
RunResult FinishTrelba(const StartedRun& run, const RunOptions& options = {});

// Status of a run that died by `signal_number` (RunResult::status).
constexpr int KilledBy(int signal_number) {
  return 1000 + signal_number;
}

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& content);

// A fresh, empty folder for one test, removed when the object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Names of the report temporary files (".<name>.<pid>.XXXXXX.tmp", or cut) left in `dir`.
std::vector<std::string> LeftoverTemporaryFiles(const std::filesystem::path& dir);

// The three reports of one run of Trelba on `content`, written to `dir`/`name`.
struct Reports {
  int status;
  std::string err, freq, iik, ok;
};
Reports Analyse(const ScratchDir& dir, const std::string& name, const std::string& content,
                const std::string& code = "0");

// Both runs succeeded and wrote the same reports.
void ExpectSameReports(const Reports& plain, const Reports& packed, const std::string& what);

// The folder of test inputs and expected reports.
std::filesystem::path TestData();

}  // namespace trelba::test
