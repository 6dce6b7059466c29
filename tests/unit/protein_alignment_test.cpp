#include "analysis/protein_alignment.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/machinery_panel.hpp"

namespace trelba {
namespace {

std::vector<std::uint8_t> Codes(const std::string& letters) {
  std::vector<std::uint8_t> codes;
  for (const char letter : letters) {
    codes.push_back(static_cast<std::uint8_t>(kResidueLetters.find(letter)));
  }
  return codes;
}

// Scores worked by hand from BLOSUM62 (W:W 11, W:A -3, K:K 5, K:E 1) and gaps of 11 + n.
struct AlignmentCase {
  const char* name;
  const char* a;
  const char* b;
  std::ptrdiff_t offset;
  std::ptrdiff_t band;
  int score;
};

void PrintTo(const AlignmentCase& c, std::ostream* os) {
  *os << c.name;
}

class LocalAlignment : public ::testing::TestWithParam<AlignmentCase> {};

TEST_P(LocalAlignment, ScoresTheBestLocalAlignment) {
  const AlignmentCase& c = GetParam();
  const std::vector<std::uint8_t> a = Codes(c.a), b = Codes(c.b);
  std::vector<std::int32_t> h(b.size() + 1), e(b.size() + 1);
  EXPECT_EQ(LocalAlignmentScore(a.data(), a.size(), b.data(), b.size(), h.data(), e.data(),
                                c.offset, c.band),
            c.score);
}

constexpr std::ptrdiff_t kAll = PTRDIFF_MAX / 4;

INSTANTIATE_TEST_SUITE_P(
    Table, LocalAlignment,
    ::testing::Values(
        AlignmentCase{"Identical", "WWWW", "WWWW", 0, kAll, 44},
        // One residue of b across from none of a: 88 - 12 beats the straight 44 - 3 + 33.
        AlignmentCase{"OneResidueGap", "WWWWWWWW", "WWWWAWWWW", 0, kAll, 76},
        AlignmentCase{"GapOutsideTheBand", "WWWWWWWW", "WWWWAWWWW", 0, 0, 74},
        // A gap of five costs 16, a gap of one 12: extending is cheaper than opening twice.
        AlignmentCase{"LongGap", "WWWWWWWWWW", "WWWWWAAAAAWWWWW", 0, kAll, 110 - 16},
        AlignmentCase{"BandAwayFromTheMatch", "KKKWWWW", "WWWW", 0, 1, 22},
        AlignmentCase{"BandOnTheMatch", "KKKWWWW", "WWWW", -3, 1, 44},
        AlignmentCase{"NothingAlike", "WWWW", "AAAA", 0, kAll, 0}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
