// The figures a set found in the input is trusted by: its strength against the input's
// usage, and the copies of a gene whose codons are drawn anew within each amino acid.
#include "analysis/reference_trust.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"

namespace trelba {
namespace {

const SynonymousCodons& Standard() {
  static const SynonymousCodons s = SynonymousCodonsOf(GeneticCodeNumber(0));
  return s;
}

int Codon(const char* name) {
  return CodonIndexOfName(name);
}

struct StrengthCase {
  const char* name;
  CodonCounts set;
  CodonCounts input;
  double strength;  // NaN: not a number
};

void PrintTo(const StrengthCase& c, std::ostream* os) {
  *os << c.name;
}

CodonCounts Counts(std::initializer_list<std::pair<const char*, std::uint64_t>> codons) {
  CodonCounts counts{};
  for (const auto& [name, count] : codons) counts[static_cast<std::size_t>(Codon(name))] = count;
  return counts;
}

class SetStrengths : public ::testing::TestWithParam<StrengthCase> {};

TEST_P(SetStrengths, AreTheMeanLogRatioOfTheSetsCodons) {
  const StrengthCase& c = GetParam();
  const double strength = SetStrength(Standard(), c.set, c.input);
  if (std::isnan(c.strength)) {
    EXPECT_TRUE(std::isnan(strength)) << strength;
  } else {
    EXPECT_NEAR(strength, c.strength, 1e-15);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetStrengths,
    ::testing::Values(
        StrengthCase{"TheInputsOwnUsage", Counts({{"TTT", 3}, {"TTC", 1}, {"AAA", 2}}),
                     Counts({{"TTT", 30}, {"TTC", 10}, {"AAA", 20}}), 0.0},
        // Phe all TTC where the input holds it half the time: ln 2 per codon; Lys as the
        // input has it adds 0 over twice as many codons.
        StrengthCase{"OneCodonOfAnEvenPair", Counts({{"TTC", 4}, {"AAA", 4}, {"AAG", 4}}),
                     Counts({{"TTT", 5}, {"TTC", 5}, {"AAA", 7}, {"AAG", 7}}), std::log(2.0) / 3.0},
        // Met and Trp have no choice.
        StrengthCase{"NoCodonWithAChoice", Counts({{"ATG", 4}, {"TGG", 1}}),
                     Counts({{"ATG", 40}, {"TGG", 10}, {"TTT", 3}}), std::nan("")}),
    [](const auto& test) { return std::string(test.param.name); });

// A redrawn gene keeps how many codons each amino acid has, draws only codons the input
// holds, and is the same for the same copy and gene whatever else was drawn before.
TEST(RedrawnGenes, KeepTheAminoAcidsAndAreTheSameEveryTime) {
  const SynonymousCodons& s = Standard();
  const CodonCounts input = Counts({{"TTT", 10},
                                    {"TTC", 30},
                                    {"CTG", 50},
                                    {"TTA", 5},
                                    {"AAA", 1},
                                    {"AAG", 99},
                                    {"ATG", 20},
                                    {"TAA", 3}});
  const CodonCounts gene =
      Counts({{"TTT", 40}, {"CTG", 7}, {"TTA", 30}, {"AAA", 25}, {"ATG", 9}, {"TAA", 1}});
  CodonCounts first, again, other;
  RedrawGene(s, input, gene, 0, 17, first);
  RedrawGene(s, input, gene, 1, 17, other);
  RedrawGene(s, input, gene, 0, 17, again);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  for (const CodonCounts* drawn : {&first, &other}) {
    for (std::size_t i = 0; i < s.acid_count; ++i) {
      const Family& acid = s.acids[i].codons;
      std::uint64_t before = 0, after = 0;
      for (std::size_t k = 0; k < acid.size; ++k) {
        before += gene[acid.members[k]];
        after += (*drawn)[acid.members[k]];
        if (input[acid.members[k]] == 0) {
          EXPECT_EQ((*drawn)[acid.members[k]], 0u);
        }
      }
      EXPECT_EQ(before, after) << kFamilyNames[s.acids[i].family];
    }
    EXPECT_EQ((*drawn)[static_cast<std::size_t>(Codon("ATG"))], 9u);
    EXPECT_EQ((*drawn)[static_cast<std::size_t>(Codon("TAA"))], 1u);
  }
}

TEST(ChanceStrengths, AreAZAgainstTheCopies) {
  const double copies[kChanceCopies] = {1.0, 2.0, 3.0, 4.0, 5.0};
  const ChanceStrength chance = StrengthByChance(3.0 + 2.0 * std::sqrt(2.5), copies);
  EXPECT_DOUBLE_EQ(chance.mean, 3.0);
  EXPECT_DOUBLE_EQ(chance.z, 2.0);
  const double same[kChanceCopies] = {1.0, 1.0, 1.0, 1.0, 1.0};
  EXPECT_TRUE(std::isnan(StrengthByChance(2.0, same).z));
}

}  // namespace
}  // namespace trelba
