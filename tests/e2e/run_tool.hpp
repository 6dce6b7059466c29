// Running the built Trelba binary in a scratch folder, for end-to-end tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace trelba::test {

struct RunResult {
  int status = -1;  // exit status as the shell sees it (255 for -1)
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs Trelba with `args` in the folder `cwd`; standard input is empty.
RunResult RunTrelba(const std::vector<std::string>& args, const std::filesystem::path& cwd);

// The same with `input` fed to its standard input through a pipe.
RunResult RunTrelbaPiped(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                         const std::string& input);

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
