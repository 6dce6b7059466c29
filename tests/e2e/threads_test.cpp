// Any number of threads writes the bytes of a one-thread run: every report and the table,
// across batch boundaries, on real genes and on awkward input.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "compress.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

struct Outputs {
  std::string freq, iik, ok, table, warnings;
  bool operator==(const Outputs&) const = default;
};

// With `cores`, the program is told the machine has that many processors (a read-ahead
// thread is started when the workers leave one free).
Outputs RunWithThreads(const ScratchDir& dir, const std::string& threads, const std::string& code,
                       const char* cores = nullptr) {
  RunOptions options;
  if (cores != nullptr) {
    options.inject_faults = true;
    options.environment = {{"TRELBA_CORES", cores}};
  }
  const RunResult run =
      RunTrelba({"-j", threads, "-T", "in.tsv", "in.fa", code}, dir.path(), options);
  EXPECT_EQ(run.status, 0) << run.err;
  return {ReadFile(dir / "in.fa.freq"), ReadFile(dir / "in.fa.iik"), ReadFile(dir / "in.fa.ok"),
          ReadFile(dir / "in.tsv"), run.err};
}

// `n` sequences, some empty and some not positive, so that batches end anywhere.
std::string Sequences(int n) {
  std::string text;
  const char* const bodies[] = {"ATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCTTAG",
                                "",
                                "TGGTGGTGG",
                                "NNNNNN",
                                "TTTTTC",
                                "atgaaacccgggtttTAA"};
  for (int i = 0; i < n; ++i) {
    text += ">s" + std::to_string(i) + "\n" + bodies[i % 6] + "\n";
  }
  return text;
}

class ThreadCounts : public ::testing::TestWithParam<std::tuple<int, const char*>> {};

TEST_P(ThreadCounts, SameBytesAsOneThread) {
  const auto [sequences, threads] = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", Sequences(sequences));
  for (const char* code : {"0", "3"}) {
    const Outputs one = RunWithThreads(dir, "1", code);
    EXPECT_TRUE(RunWithThreads(dir, threads, code) == one)
        << sequences << " sequences, code " << code;
  }
}

// Batches hold 256 sequences: around one, two and many batches.
INSTANTIATE_TEST_SUITE_P(BatchBoundaries, ThreadCounts,
                         ::testing::Combine(::testing::Values(0, 1, 255, 256, 257, 513, 3000),
                                            ::testing::Values("2", "3", "5")),
                         [](const auto& test) {
                           return std::to_string(std::get<0>(test.param)) + "_sequences_" +
                                  std::get<1>(test.param) + "_threads";
                         });

TEST(Threads, RealFilesUnderEveryThreadCount) {
  ScratchDir dir;
  for (const char* folder : {"real", "inputs"}) {
    for (const auto& entry : fs::directory_iterator(TestData() / folder)) {
      WriteFile(dir / "in.fa", ReadFile(entry.path()));
      const Outputs one = RunWithThreads(dir, "1", "2");
      for (const char* threads : {"2", "4", "9"}) {
        EXPECT_TRUE(RunWithThreads(dir, threads, "2") == one) << entry.path() << " -j " << threads;
        EXPECT_TRUE(RunWithThreads(dir, threads, "2", "16") == one)
            << entry.path() << " -j " << threads << " of 16 cores";
      }
    }
  }
}

// Bodies longer than a batch holds are counted as they arrive: mixed with short ones, and
// around that size (256 KiB), they give the one-thread bytes too.
TEST(Threads, LongSequencesAmongShortOnes) {
  ScratchDir dir;
  std::string text;
  const std::string line = "ATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCTUAG\n";
  for (const std::size_t size : {100u << 10, 300u << 10, 10u, (256u << 10) - 1, 256u << 10,
                                 (256u << 10) + 1, 5u, 3u << 20, 7u}) {
    text += ">len" + std::to_string(size) + "\n";
    std::string body;
    while (body.size() < size) body += line;
    body.resize(size);
    text += body + "\n";
  }
  WriteFile(dir / "in.fa", text);
  const Outputs one = RunWithThreads(dir, "1", "0");
  for (const char* threads : {"2", "3"}) {
    EXPECT_TRUE(RunWithThreads(dir, threads, "0") == one) << "-j " << threads;
  }
}

// A batch's text of an output beyond the room kept for it (long identifiers in the
// table) overflows and still comes out whole and in order.
TEST(Threads, BatchTextBeyondItsRoom) {
  ScratchDir dir;
  std::string text;
  for (int i = 0; i < 700; ++i) {
    text += '>';
    text.append(static_cast<std::size_t>(300 + i * 7 % 1500), static_cast<char>('a' + i % 26));
    text += std::to_string(i);
    text += " description\nATGGCTAAACGTTTCCAGGATTGGCTTGAACC\n";
  }
  WriteFile(dir / "in.fa", text);
  const Outputs one = RunWithThreads(dir, "1", "0");
  for (const char* threads : {"2", "3"}) {
    EXPECT_TRUE(RunWithThreads(dir, threads, "0") == one) << "-j " << threads;
  }
}

// Regression guard: where threads cannot be had (a process limit), the run does the same
// work in one thread instead of aborting, whichever thread fails to start.
// The first threads asked for are a BGZF input's inflaters, the others the pipeline's.
TEST(Threads, NoThreadsToBeHadFallsBackToOne) {
  ScratchDir dir;
  for (const bool bgzf : {false, true}) {
    WriteFile(dir / "in.fa", bgzf ? Bgzf(Sequences(30000), 5000) : Sequences(3000));
    const Outputs one = RunWithThreads(dir, "1", "0");
    for (const char* made_before_failing : {"0", "1", "3", "5"}) {
      RunOptions options;
      options.inject_faults = true;
      options.environment = {{"TRELBA_FAULT", "NOTHREAD"},
                             {"TRELBA_FAULT_AT", made_before_failing}};
      const RunResult run = RunTrelba({"-j", "3", "-T", "in.tsv", "in.fa"}, dir.path(), options);
      ASSERT_EQ(run.status, 0) << run.err;
      const Outputs got{ReadFile(dir / "in.fa.freq"), ReadFile(dir / "in.fa.iik"),
                        ReadFile(dir / "in.fa.ok"), ReadFile(dir / "in.tsv"), run.err};
      EXPECT_TRUE(got == one) << made_before_failing << " threads made, bgzf " << bgzf;
    }
  }
}

// BGZF input is inflated member by member on several threads: the bytes of one thread,
// on real genes and on members of many sizes.
TEST(Threads, BgzfInputUnderEveryThreadCount) {
  ScratchDir dir;
  std::vector<std::string> texts = {Sequences(20000)};
  for (const auto& entry : fs::directory_iterator(TestData() / "real")) {
    texts.push_back(ReadFile(entry.path()));
  }
  for (const std::string& text : texts) {
    for (const std::size_t piece : {std::size_t{65280}, std::size_t{777}}) {
      WriteFile(dir / "in.fa", Bgzf(text, piece));
      const Outputs one = RunWithThreads(dir, "1", "0");
      for (const char* threads : {"2", "4", "9"}) {
        EXPECT_TRUE(RunWithThreads(dir, threads, "0") == one)
            << text.size() << " bytes in members of " << piece << ", -j " << threads;
      }
    }
  }
}

// Regression: memory that one worker's run fits in made a run of several fail ("Error
// reading file") instead of running with fewer; the memory is held to a budget of the
// blocks handed out at once.
TEST(Threads, MemoryForOneIsEnoughForAnyNumber) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", Sequences(3000));
  const Outputs one = RunWithThreads(dir, "1", "0");
  // One worker's run fits in 5 MB: its buffers, the expected score's and its variance's
  // caches (1.4 MB of them), the batches.
  for (const char* budget : {"5000000", "8000000"}) {
    for (const char* threads : {"1", "2", "8", "64"}) {
      RunOptions options;
      options.inject_faults = true;
      options.environment = {{"TRELBA_FAULT", "BUDGET"}, {"TRELBA_FAULT_AT", budget}};
      const RunResult run =
          RunTrelba({"-j", threads, "-T", "in.tsv", "in.fa"}, dir.path(), options);
      ASSERT_EQ(run.status, 0) << budget << " bytes, -j " << threads << ": " << run.err;
      const Outputs got{ReadFile(dir / "in.fa.freq"), ReadFile(dir / "in.fa.iik"),
                        ReadFile(dir / "in.fa.ok"), ReadFile(dir / "in.tsv"), run.err};
      EXPECT_TRUE(got == one) << budget << " bytes, -j " << threads;
    }
  }
}

struct BadThreads {
  const char* name;
  const char* value;
};

void PrintTo(const BadThreads& c, std::ostream* out) {
  *out << c.name;
}

class BadThreadCounts : public ::testing::TestWithParam<BadThreads> {};

TEST_P(BadThreadCounts, AreUsageErrors) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ">a\nATG\n");
  const RunResult run = RunTrelba({"--threads", GetParam().value, "in.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err.substr(0, 30), "Trelba: --threads needs a whol");
  EXPECT_FALSE(fs::exists(dir / "in.fa.ok"));
}

INSTANTIATE_TEST_SUITE_P(Table, BadThreadCounts,
                         ::testing::Values(BadThreads{"Zero", "0"}, BadThreads{"Negative", "-2"},
                                           BadThreads{"Word", "two"}, BadThreads{"Trailing", "2x"},
                                           BadThreads{"Huge", "100000"}, BadThreads{"Empty", ""}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba::test
