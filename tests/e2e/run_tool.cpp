#include "run_tool.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace trelba::test {

namespace {

RunResult Run(const std::vector<std::string>& args, const std::filesystem::path& cwd,
              const std::string* input) {
  const auto out_path = cwd / ".stdout";
  const auto err_path = cwd / ".stderr";
  int pipe_ends[2] = {-1, -1};
  if (input != nullptr && ::pipe(pipe_ends) != 0) std::abort();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (input != nullptr) {
      ::dup2(pipe_ends[0], 0);
      ::close(pipe_ends[0]);
      ::close(pipe_ends[1]);
    } else {
      const int none = ::open("/dev/null", O_RDONLY);
      ::dup2(none, 0);
    }
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(127);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    static char program[] = TRELBA_BINARY;
    argv.push_back(program);
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(program, argv.data());
    ::_exit(127);
  }
  if (input != nullptr) {
    // The program may stop reading early (an error): then the rest is not wanted.
    ::signal(SIGPIPE, SIG_IGN);
    ::close(pipe_ends[0]);
    std::size_t at = 0;
    while (at < input->size()) {
      const ssize_t n = ::write(pipe_ends[1], input->data() + at, input->size() - at);
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::close(pipe_ends[1]);
  }
  RunResult result;
  int wait_status = 0;
  ::waitpid(pid, &wait_status, 0);
  result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 1000 + WTERMSIG(wait_status);
  result.out = ReadFile(out_path);
  result.err = ReadFile(err_path);
  std::filesystem::remove(out_path);
  std::filesystem::remove(err_path);
  return result;
}

}  // namespace

RunResult RunTrelba(const std::vector<std::string>& args, const std::filesystem::path& cwd) {
  return Run(args, cwd, nullptr);
}

RunResult RunTrelbaPiped(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                         const std::string& input) {
  return Run(args, cwd, &input);
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
