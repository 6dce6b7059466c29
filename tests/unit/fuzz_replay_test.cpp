// Replays the fuzzer's seed corpus and every input that ever made it fail, with the same
// checks as the fuzz target, in the ordinary test suite.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "analyse_text.hpp"
#include "fuzz_decode.hpp"
#include "fuzz_input.hpp"
#include "input/compression_format.hpp"

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
      const fuzz::Decoded file = fuzz::DecodeThroughPipe(run.text, 1 << 20);
      EXPECT_TRUE(file.opened) << entry.path();
      const auto start = reinterpret_cast<const unsigned char*>(run.text.data());
      if (SniffCompression(start, run.text.size()) == CompressionFormat::kNone) {
        EXPECT_TRUE(file.refused || file.text == run.text) << entry.path();
      } else if (std::string(folder) == "corpus") {
        // The compressed seeds are whole streams of FASTA text.
        EXPECT_FALSE(file.failed) << entry.path();
        EXPECT_EQ(file.text.substr(0, 1), ">") << entry.path();
      }
      ++replayed;
    }
  }
  EXPECT_GE(replayed, 5);
}

}  // namespace
}  // namespace trelba
