#include "input/codon_index.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <set>
#include <string>

namespace trelba {
namespace {

struct IndexCase {
  const char* triple;
  int expected;
};

void PrintTo(const IndexCase& c, std::ostream* os) {
  *os << '"' << c.triple << "\" -> " << c.expected;
}

class CodonIndexCases : public ::testing::TestWithParam<IndexCase> {};

TEST_P(CodonIndexCases, GivesIndex) {
  const std::string t = GetParam().triple;
  EXPECT_EQ(CodonIndex(t[0], t[1], t[2]), GetParam().expected) << t;
}

INSTANTIATE_TEST_SUITE_P(Table, CodonIndexCases,
                         ::testing::Values(
                             // Codons named by the position of their bases in T, C, A, G.
                             IndexCase{"TTT", 1}, IndexCase{"TTC", 2}, IndexCase{"TTA", 3},
                             IndexCase{"TTG", 4}, IndexCase{"TCT", 5}, IndexCase{"TAA", 11},
                             IndexCase{"TAG", 12}, IndexCase{"TGA", 15}, IndexCase{"TGG", 16},
                             IndexCase{"CTT", 17}, IndexCase{"ATT", 33}, IndexCase{"ATG", 36},
                             IndexCase{"AGA", 47}, IndexCase{"GAA", 59}, IndexCase{"GGG", 64},
                             // Either case, mixed.
                             IndexCase{"ttt", 1}, IndexCase{"gGg", 64}, IndexCase{"aTg", 36},
                             // A header mark anywhere wins over every other test.
                             IndexCase{">AB", -1}, IndexCase{"A>B", -1}, IndexCase{"AB>", -1},
                             IndexCase{"N>A", -1}, IndexCase{"AA>", -1},
                             // Not a base first: -2; not a base later: 0. U is no base.
                             IndexCase{"NAA", -2}, IndexCase{"UUU", -2}, IndexCase{"-AA", -2},
                             IndexCase{"ANA", 0}, IndexCase{"AAN", 0}, IndexCase{"ATU", 0},
                             IndexCase{"AUG", 0}, IndexCase{"A1G", 0}),
                         [](const auto& test) {
                           std::string name;
                           for (char c : std::string(test.param.triple)) {
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return name + "_" + std::to_string(test.index);
                         });

TEST(CodonIndex, CoversOneToSixtyFourWithoutGaps) {
  const char bases[] = "TCAG";
  std::set<int> seen;
  for (char a : std::string(bases)) {
    for (char b : std::string(bases)) {
      for (char c : std::string(bases)) seen.insert(CodonIndex(a, b, c));
    }
  }
  ASSERT_EQ(seen.size(), 64u);
  EXPECT_EQ(*seen.begin(), 1);
  EXPECT_EQ(*seen.rbegin(), 64);
}

TEST(CodonIndex, BytesAboveAsciiAndNulAreNoBases) {
  EXPECT_EQ(CodonIndex('\x80', 'A', 'A'), -2);
  EXPECT_EQ(CodonIndex('A', '\xff', 'A'), 0);
  EXPECT_EQ(CodonIndex('A', 'A', '\0'), 0);
}

// The added tables give CodonIndex for every triple of bases and say "no codon" for every
// triple holding any other byte, at any of the three places.
TEST(CodonSumTables, AgreeWithCodonIndexForEveryTriple) {
  for (unsigned a = 0; a < 256; ++a) {
    for (unsigned b = 0; b < 256; ++b) {
      for (unsigned c = 0; c < 256; ++c) {
        const unsigned sum =
            static_cast<unsigned>(kCodonFirst[a]) + kCodonSecond[b] + kCodonThird[c];
        const int index =
            CodonIndex(static_cast<char>(a), static_cast<char>(b), static_cast<char>(c));
        if (index > 0) {
          ASSERT_EQ(sum, static_cast<unsigned>(index)) << a << ' ' << b << ' ' << c;
        } else {
          ASSERT_GE(sum, kNotCodonSum) << a << ' ' << b << ' ' << c;
        }
      }
    }
  }
}

}  // namespace
}  // namespace trelba
