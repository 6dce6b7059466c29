#include "analysis/entropy_table.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "analysis/frequencies.hpp"
#include "analysis/order.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/codon_index.hpp"

namespace trelba {
namespace {

std::uint64_t Bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

TEST(EntropyTable, EveryEntryHasTheBitsOfTheExpression) {
  for (std::uint64_t total = 1; total <= kEntropyTableMaxTotal; ++total) {
    for (std::uint64_t count = 0; count <= total; ++count) {
      const double expected = EntropyTerm(static_cast<double>(count) / static_cast<double>(total));
      // Twice: the first lookup fills the entry, the second reads it back.
      ASSERT_EQ(Bits(TabulatedEntropyTerm(count, total)), Bits(expected)) << count << "/" << total;
      ASSERT_EQ(Bits(TabulatedEntropyTerm(count, total)), Bits(expected)) << count << "/" << total;
    }
  }
  EXPECT_EQ(Bits(TabulatedEntropyTerm(0, 0)), Bits(EntropyTerm(0.0)));
}

// The order values computed with every term from the expression, as before the table.
FamilyValues ReferenceOrder(const GeneticCode& code, const CodonCounts& counts) {
  CodonValues frequencies{};
  FamilyValues totals{};
  FamilyValues order{};
  WithinFamilyFrequencies(code, counts, frequencies, totals);
  OrderValues(code, frequencies, order);
  return order;
}

void ExpectSameBits(const FamilyValues& actual, const FamilyValues& expected,
                    const std::string& what) {
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    ASSERT_EQ(Bits(actual[f]), Bits(expected[f])) << what << ", family " << f;
  }
}

// Counts drawn up to `max_count` per codon; `zero_share` of the codons are left unused,
// so that families with one codon, several and none all occur.
struct CountDraw {
  const char* name;
  std::uint64_t max_count;
  double zero_share;
};

const CountDraw kDraws[] = {
    {"Sparse", 3, 0.7},
    {"ShortGenes", 12, 0.2},
    {"TotalsAroundTheTableBound", 260, 0.3},  // family totals of 4 to 8 codons near 1024
    {"LongGenes", 5000, 0.1},
    {"Huge", std::uint64_t{1} << 40, 0.2},
};

struct Case {
  int code;
  CountDraw draw;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << "code " << c.code << ", " << c.draw.name;
}

class TabulatedOrderValues : public testing::TestWithParam<Case> {};

TEST_P(TabulatedOrderValues, MatchTheExpressionBitForBit) {
  const GeneticCode& code = GeneticCodeNumber(GetParam().code);
  const CountDraw& draw = GetParam().draw;
  std::mt19937_64 random(static_cast<std::uint64_t>(GetParam().code) * 7919 + draw.max_count);
  std::uniform_int_distribution<std::uint64_t> count(1, draw.max_count);
  std::bernoulli_distribution unused(draw.zero_share);
  for (int trial = 0; trial < 20000; ++trial) {
    CodonCounts counts{};
    for (std::size_t k = 1; k <= kCodonCount; ++k) counts[k] = unused(random) ? 0 : count(random);
    SequenceAnalysis analysis;
    AnalyseSequence(code, counts, analysis);
    ExpectSameBits(analysis.order, ReferenceOrder(code, counts), "trial " + std::to_string(trial));
    if (HasFatalFailure()) return;
  }
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (int code = 0; code < kGeneticCodeCount; ++code) {
    for (const CountDraw& draw : kDraws) cases.push_back({code, draw});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(AllCodes, TabulatedOrderValues, testing::ValuesIn(AllCases()),
                         [](const testing::TestParamInfo<Case>& param) {
                           return "Code" + std::to_string(param.param.code) + param.param.draw.name;
                         });

std::size_t Codon(const char* name) {
  return static_cast<std::size_t>(CodonIndex(name[0], name[1], name[2]));
}

// Under code 2, AGA and AGG are divided by the stop total and again by arginine's, so
// arginine's terms are not count / total: looking them up would change the last bits.
TEST(TabulatedOrderValues, Code2ArginineSharedWithStopsIsNotLookedUp) {
  const GeneticCode& code = GeneticCodeNumber(2);
  CodonCounts counts{};
  counts[Codon("TAA")] = 3;
  counts[Codon("AGA")] = 2;
  counts[Codon("AGG")] = 1;
  counts[Codon("CGT")] = 1;
  counts[Codon("CGC")] = 5;
  SequenceAnalysis analysis;
  AnalyseSequence(code, counts, analysis);
  ExpectSameBits(analysis.order, ReferenceOrder(code, counts), "code 2");
  EXPECT_NE(analysis.totals[11], 9.0);  // the shared codons enter arginine as fractions
}

// Which families may use the table is remembered between sequences: a different code in
// the same place in memory must not inherit the previous code's answer.
TEST(TabulatedOrderValues, ACodeReplacedAtTheSameAddressIsWorkedOutAgain) {
  CodonCounts counts{};
  for (std::size_t k = 1; k <= kCodonCount; ++k) counts[k] = 1 + k % 7;
  GeneticCode code = GeneticCodeNumber(0);
  for (int number : {0, 2, 0, 2}) {
    code = GeneticCodeNumber(number);
    SequenceAnalysis analysis;
    AnalyseSequence(code, counts, analysis);
    ExpectSameBits(analysis.order, ReferenceOrder(code, counts), "code " + std::to_string(number));
  }
}

}  // namespace
}  // namespace trelba
