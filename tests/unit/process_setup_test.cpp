// The process set-up, run in a child so that the test's own descriptors stay as they are.
#include "driver/process_setup.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cfenv>
#include <vector>

#include "driver/run.hpp"

namespace trelba {
namespace {

bool IsDevNull(int fd) {
  struct stat at {
  }, null{};
  return ::fstat(fd, &at) == 0 && ::stat("/dev/null", &null) == 0 && S_ISCHR(at.st_mode) &&
         at.st_rdev == null.st_rdev;
}

// Runs `check` in a child with the descriptors `closed` closed; its exit status.
template <typename Check>
int InChild(const std::vector<int>& closed, Check check) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (const int fd : closed) ::close(fd);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ClosedAtStart : public ::testing::TestWithParam<std::vector<int>> {};

// Regression: with standard output and error closed, a report took descriptor 2.
TEST_P(ClosedAtStart, ReopenedOnDevNullAndNeverGivenToAFile) {
  const std::vector<int> closed = GetParam();
  EXPECT_EQ(InChild(closed,
                    [&] {
                      if (!PrepareProcess()) return false;
                      for (const int fd : closed) {
                        if (!IsDevNull(fd)) return false;
                      }
                      const int next = ::open("/dev/null", O_RDONLY);
                      return next > STDERR_FILENO;
                    }),
            0);
}

INSTANTIATE_TEST_SUITE_P(Table, ClosedAtStart,
                         ::testing::Values(std::vector<int>{}, std::vector<int>{0},
                                           std::vector<int>{1, 2}, std::vector<int>{0, 1, 2},
                                           std::vector<int>{2}),
                         [](const auto& test) {
                           std::string name = "Closed";
                           for (const int fd : test.param) name += std::to_string(fd);
                           return test.param.empty() ? std::string("NoneClosed") : name;
                         });

TEST(PrepareProcess, IgnoresFileSizeSignal) {
  EXPECT_EQ(InChild({},
                    [] {
                      PrepareProcess();
                      struct sigaction action {};
                      ::sigaction(SIGXFSZ, nullptr, &action);
                      return action.sa_handler == SIG_IGN;
                    }),
            0);
}

// A program that changed the rounding mode before calling in gets an error, not numbers
// that are a unit off here and there.
TEST(RoundingMode, OtherThanToNearestIsAnError) {
  EXPECT_EQ(InChild({2},
                    [] {
                      std::fesetround(FE_UPWARD);
                      const char* const argv[] = {"Trelba", "--version"};
                      return trelba::Run(2, argv) == kFailureStatus;
                    }),
            0);
}

}  // namespace
}  // namespace trelba
