// Replays the fuzzer's seed corpus and every input that ever made it fail, with the same
// checks as the fuzz target, in the ordinary test suite.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "driver/pipeline.hpp"
#include "fuzz_input.hpp"

namespace trelba {
namespace {

namespace fs = std::filesystem;

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(FuzzReplay, CorpusAndRegressionsKeepTheReportsWellFormed) {
  int replayed = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(TRELBA_FUZZ_DIR) / folder)) {
      if (entry.path().extension() == ".txt") continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      const std::string data = bytes.str();
      const auto run =
          fuzz::SplitFuzzInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
      const GeneticCode& code = fuzz::FuzzCode(run.code);
      const ReportTexts whole = AnalyseText(run.text, code);
      const std::size_t sequences = Lines(whole.order) / 22;
      EXPECT_EQ(Lines(whole.order), sequences * 22) << entry.path();
      EXPECT_EQ(Lines(whole.counts), sequences * 18) << entry.path();
      EXPECT_NE(whole.scores.find("\naverage = "), std::string::npos) << entry.path();
      for (std::size_t piece : {1u, 2u, 5u, 64u}) {
        const ReportTexts pieces = AnalyseText(run.text, code, piece);
        EXPECT_EQ(pieces.order, whole.order) << entry.path() << " in pieces of " << piece;
        EXPECT_EQ(pieces.scores, whole.scores) << entry.path();
        EXPECT_EQ(pieces.counts, whole.counts) << entry.path();
      }
      ++replayed;
    }
  }
  EXPECT_GE(replayed, 5);
}

}  // namespace
}  // namespace trelba
