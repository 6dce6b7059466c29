// The NCBI translation tables as families, and the measure under them, against values
// worked out by hand (entropy sums in Python, from the codon counts).
#include "codes/ncbi_tables.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/sequence_analysis.hpp"
#include "codes/ncbi_table_option.hpp"
#include "input/codon_index.hpp"
#include "mpfr_log.hpp"

namespace trelba {
namespace {

std::size_t Codon(const char* name) {
  return static_cast<std::size_t>(CodonIndex(name[0], name[1], name[2]));
}

const GeneticCode& Table(int number) {
  const GeneticCode* code = NcbiGeneticCode(number);
  if (code == nullptr) ADD_FAILURE() << "no table " << number;
  return code != nullptr ? *code : GeneticCodeNumber(0);
}

std::vector<int> FamiliesOf(const GeneticCode& code, std::size_t codon) {
  std::vector<int> found;
  for (int f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[static_cast<std::size_t>(f)];
    for (unsigned m = 0; m < family.size; ++m) {
      if (family.members[m] == codon) found.push_back(f);
    }
  }
  return found;
}

TEST(NcbiTables, DefinedNumbersAndNames) {
  const std::vector<int> expected = {1,  2,  3,  4,  5,  6,  9,  10, 11, 12, 13, 14, 15, 16,
                                     21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33};
  const auto numbers = NcbiTableNumbers();
  EXPECT_EQ(std::vector<int>(numbers.begin(), numbers.end()), expected);
  for (int n = -1; n <= 40; ++n) {
    const bool defined = std::find(expected.begin(), expected.end(), n) != expected.end();
    EXPECT_EQ(NcbiGeneticCode(n) != nullptr, defined) << n;
    EXPECT_EQ(NcbiTableName(n).empty(), !defined) << n;
    if (defined) {
      EXPECT_EQ(NcbiGeneticCode(n)->ncbi_table, n);
    }
  }
  EXPECT_EQ(NcbiTableName(2), "Vertebrate Mitochondrial");
  EXPECT_EQ(NcbiTableName(11), "Bacterial, Archaeal and Plant Plastid");
}

class EveryNcbiTable : public ::testing::TestWithParam<int> {
 protected:
  const GeneticCode& code() const { return Table(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Tables, EveryNcbiTable, ::testing::ValuesIn([] {
                           const auto n = NcbiTableNumbers();
                           return std::vector<int>(n.begin(), n.end());
                         }()),
                         [](const auto& test) { return "Table" + std::to_string(test.param); });

TEST_P(EveryNcbiTable, EveryCodonInExactlyOneFamilyAndNoneExempt) {
  for (std::size_t codon = 1; codon <= kCodonCount; ++codon) {
    EXPECT_EQ(FamiliesOf(code(), codon).size(), 1u) << "codon " << codon;
    EXPECT_FALSE(code().exempt[codon]) << "codon " << codon;
  }
}

TEST_P(EveryNcbiTable, DivisorIsSizeAndDenominatorAscends) {
  std::vector<int> expected;
  for (int f = 1; f <= kFamilyCount; ++f) {
    const auto i = static_cast<std::size_t>(f);
    const unsigned size = code().families[i].size;
    const bool counted = f != kStopFamily && size >= 2;
    EXPECT_EQ(code().divisor[i], counted ? size : 0u) << "family " << f;
    // ln k correctly rounded (MPFR's), not the platform's std::log.
    EXPECT_EQ(code().log_divisor[i],
              counted ? testing_support::MpfrNaturalLog(static_cast<double>(size)) : 0.0);
    if (counted) expected.push_back(f);
  }
  const std::vector<int> actual(code().denominator.begin(),
                                code().denominator.begin() + code().denominator_size);
  EXPECT_EQ(actual, expected);
}

TEST(NcbiTables, Table1HasTheFamiliesOfVariant0ButNoExemptCodon) {
  const GeneticCode& ncbi = Table(1);
  const GeneticCode& variant = GeneticCodeNumber(0);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    EXPECT_EQ(ncbi.families[f].members, variant.families[f].members) << f;
    EXPECT_EQ(ncbi.divisor[f], variant.divisor[f]) << f;
  }
  EXPECT_EQ(ncbi.denominator, variant.denominator);
  EXPECT_TRUE(variant.exempt[Codon("TGG")]);
  EXPECT_FALSE(ncbi.exempt[Codon("TGG")]);
}

struct Membership {
  int table;
  const char* codon;
  int family;
};

void PrintTo(const Membership& m, std::ostream* os) {
  *os << "table " << m.table << " " << m.codon << " -> " << m.family;
}

class NcbiMembership : public ::testing::TestWithParam<Membership> {};

TEST_P(NcbiMembership, CodonJoinsFamily) {
  const Membership& c = GetParam();
  EXPECT_EQ(FamiliesOf(Table(c.table), Codon(c.codon)), std::vector<int>{c.family});
}

INSTANTIATE_TEST_SUITE_P(
    Departures, NcbiMembership,
    ::testing::Values(Membership{1, "TGA", 5}, Membership{2, "AGA", 5}, Membership{2, "AGG", 5},
                      Membership{2, "ATA", 13}, Membership{2, "TGA", 7}, Membership{3, "CTT", 14},
                      Membership{3, "CTG", 14}, Membership{4, "TGA", 7}, Membership{4, "ATA", 12},
                      Membership{5, "AGG", 3}, Membership{5, "ATA", 13}, Membership{6, "TAA", 10},
                      Membership{9, "AAA", 15}, Membership{10, "TGA", 6}, Membership{11, "TGA", 5},
                      Membership{12, "CTG", 3}, Membership{13, "AGA", 21}, Membership{14, "TAA", 4},
                      Membership{16, "TAG", 2}, Membership{22, "TCA", 5}, Membership{23, "TTA", 5},
                      Membership{24, "AGG", 16}, Membership{25, "TGA", 21},
                      Membership{26, "CTG", 18},
                      // Stop and amino acid at once under NCBI: the amino acid's family.
                      Membership{27, "TGA", 7}, Membership{28, "TAA", 10}, Membership{28, "TGA", 7},
                      Membership{31, "TAG", 20}, Membership{32, "TAG", 7},
                      Membership{33, "TAA", 4}),
    [](const auto& test) {
      return "Table" + std::to_string(test.param.table) + "_" + test.param.codon;
    });

struct FamilySize {
  int table;
  int family;
  unsigned size;
};

void PrintTo(const FamilySize& s, std::ostream* os) {
  *os << "table " << s.table << " family " << s.family << " size " << s.size;
}

class NcbiFamilySize : public ::testing::TestWithParam<FamilySize> {};

TEST_P(NcbiFamilySize, Holds) {
  const FamilySize& c = GetParam();
  EXPECT_EQ(Table(c.table).families[static_cast<std::size_t>(c.family)].size, c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, NcbiFamilySize,
    ::testing::Values(FamilySize{1, kStopFamily, 3}, FamilySize{2, kStopFamily, 4},
                      FamilySize{6, kStopFamily, 1}, FamilySize{23, kStopFamily, 4},
                      FamilySize{27, kStopFamily, 0}, FamilySize{28, kStopFamily, 0},
                      FamilySize{31, kStopFamily, 0}, FamilySize{3, 14, 8}, FamilySize{3, 2, 2},
                      FamilySize{5, 3, 8}, FamilySize{21, 3, 8}, FamilySize{9, 16, 1},
                      FamilySize{13, 21, 6}, FamilySize{2, 11, 4}, FamilySize{29, 4, 4}),
    [](const auto& test) {
      return "Table" + std::to_string(test.param.table) + "_Family" +
             std::to_string(test.param.family);
    });

// One family's order value from a few codon counts; expected values are 1 - H / ln k with
// H = -sum p ln p worked out in Python from the counts.
struct OrderCase {
  const char* name;
  int table;
  std::vector<std::pair<const char*, std::uint64_t>> counts;
  int family;
  double expected;
  double tolerance;  // 0: the exact double
};

void PrintTo(const OrderCase& c, std::ostream* os) {
  *os << c.name;
}

class NcbiOrderValues : public ::testing::TestWithParam<OrderCase> {};

TEST_P(NcbiOrderValues, MatchHandValue) {
  const OrderCase& c = GetParam();
  CodonCounts counts{};
  for (const auto& [codon, n] : c.counts) counts[Codon(codon)] = n;
  SequenceAnalysis result;
  AnalyseSequence(Table(c.table), counts, result);
  const double actual = result.order[static_cast<std::size_t>(c.family)];
  if (c.tolerance == 0.0) {
    EXPECT_DOUBLE_EQ(actual, c.expected);
  } else {
    EXPECT_NEAR(actual, c.expected, c.tolerance);
  }
}

INSTANTIATE_TEST_SUITE_P(
    HandChecked, NcbiOrderValues,
    ::testing::Values(
        // TGA is Trp under 2, 4 and 5 and enters with -p ln p (variants 1-4: -0.442695).
        OrderCase{"T2_TrpTgaThreeTggOne", 2, {{"TGA", 3}, {"TGG", 1}}, 7, 0.18872187554086717, 0},
        OrderCase{"T2_TrpTggOnly", 2, {{"TGG", 5}}, 7, 1.0, 0},
        OrderCase{"T2_MetBalanced", 2, {{"ATA", 4}, {"ATG", 4}}, 13, 0.0, 1e-15},
        OrderCase{"T2_MetAtgOnly", 2, {{"ATG", 3}}, 13, 1.0, 0},
        OrderCase{"T2_ArgFourCodons", 2, {{"CGT", 2}, {"CGC", 1}, {"CGA", 1}}, 11, 0.25, 0},
        OrderCase{"T2_SerSixCodons",
                  2,
                  {{"TCT", 1}, {"TCC", 2}, {"TCA", 3}, {"AGC", 6}},
                  3,
                  0.3309094588292465,
                  0},
        OrderCase{"T2_StopFamilyFixedAtZero", 2, {{"TAA", 3}, {"AGA", 1}}, kStopFamily, 0.0, 0},
        OrderCase{"T4_TrpTgaOneTggTwo", 4, {{"TGA", 1}, {"TGG", 2}}, 7, 0.08170416594551055, 0},
        OrderCase{"T4_TrpTgaOnly", 4, {{"TGA", 9}}, 7, 1.0, 0},
        OrderCase{"T4_IleThreeCodons", 4, {{"ATT", 1}, {"ATC", 2}}, 12, 0.42061983571430506, 0},
        OrderCase{"T4_IleBalanced", 4, {{"ATT", 2}, {"ATC", 2}, {"ATA", 2}}, 12, 0.0, 1e-15},
        OrderCase{"T4_MetOneCodonFixedAtZero", 4, {{"ATG", 3}}, 13, 0.0, 0},
        OrderCase{
            "T4_ArgSixCodons", 4, {{"CGT", 1}, {"AGA", 5}, {"AGG", 2}}, 11, 0.49755753116996504, 0},
        OrderCase{"T5_SerEightCodons",
                  5,
                  {{"TCT", 1},
                   {"TCC", 2},
                   {"TCA", 3},
                   {"TCG", 4},
                   {"AGT", 5},
                   {"AGC", 6},
                   {"AGA", 7},
                   {"AGG", 8}},
                  3,
                  0.06859710540191843,
                  0},
        OrderCase{"T5_SerEightBalanced",
                  5,
                  {{"TCT", 3},
                   {"TCC", 3},
                   {"TCA", 3},
                   {"TCG", 3},
                   {"AGT", 3},
                   {"AGC", 3},
                   {"AGA", 3},
                   {"AGG", 3}},
                  3,
                  0.0,
                  1e-15},
        OrderCase{"T5_SerAggOnly", 5, {{"AGG", 4}}, 3, 1.0, 0},
        OrderCase{"T5_MetAtaFiveAtgOne", 5, {{"ATA", 5}, {"ATG", 1}}, 13, 0.3499775783516459, 0},
        OrderCase{"T5_TrpBalanced", 5, {{"TGA", 7}, {"TGG", 7}}, 7, 0.0, 1e-15},
        OrderCase{"T11_LeuSixCodons",
                  11,
                  {{"TTA", 6}, {"TTG", 1}, {"CTG", 3}},
                  2,
                  0.49884694889116876,
                  0},
        OrderCase{"T11_IleFourFourOne",
                  11,
                  {{"ATT", 4}, {"ATC", 4}, {"ATA", 1}},
                  12,
                  0.1216528952381466,
                  0},
        OrderCase{"T11_TrpOneCodonFixedAtZero", 11, {{"TGG", 2}}, 7, 0.0, 0},
        OrderCase{"T11_GlyGggOnly", 11, {{"GGG", 2}}, 21, 1.0, 0},
        OrderCase{
            "T3_ThrEightCodonsWithCtn", 3, {{"CTT", 2}, {"ACT", 2}}, 14, 0.6666666666666666, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(NcbiScore, TrpJoinsTheDenominatorWhereTgaIsTrp) {
  // Table 4: Trp (2 codons) is in the denominator: 4 Phe + 4 Trp, Phe ordered, Trp even.
  CodonCounts counts{};
  counts[Codon("TTT")] = 4;
  counts[Codon("TGA")] = 2;
  counts[Codon("TGG")] = 2;
  SequenceAnalysis t4;
  AnalyseSequence(Table(4), counts, t4);
  EXPECT_EQ(t4.composition[7], 0.5);
  EXPECT_NEAR(t4.score, 0.5, 1e-15);
  // Table 11: TGA is a stop and TGG alone is out of the denominator: only Phe counts.
  SequenceAnalysis t11;
  AnalyseSequence(Table(11), counts, t11);
  EXPECT_EQ(t11.composition[1], 1.0);
  EXPECT_EQ(t11.score, 1.0 + 0.5 * 0.0);
}

// Regression: the family total read the first member of every family, and a family with
// no member read element 0 of the frequencies, which is no codon.
TEST(NcbiAnalysis, EmptyStopFamilyTotalsZero) {
  for (int table : {27, 28, 31}) {
    CodonCounts counts{};
    counts[Codon("TAA")] = 2;
    counts[Codon("TGA")] = 1;
    SequenceAnalysis result;
    result.frequencies[0] = 7.0;  // a stale value where no codon lives
    AnalyseSequence(Table(table), counts, result);
    EXPECT_EQ(result.totals[kStopFamily], 0.0) << table;
    EXPECT_EQ(result.order[kStopFamily], 0.0) << table;
    EXPECT_GT(result.score, 0.0) << table;
  }
}

struct ChoiceCase {
  const char* name;
  const char* text;
  int table;  // 0: a usage error
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
  *os << c.name << " '" << c.text << "'";
}

class NcbiTableChoices : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(NcbiTableChoices, Parse) {
  const ChoiceCase& c = GetParam();
  const NcbiTableChoice choice = ChooseNcbiTable(c.text);
  if (c.table == 0) {
    EXPECT_EQ(choice.code, nullptr);
    EXPECT_FALSE(choice.problem.empty());
  } else {
    ASSERT_NE(choice.code, nullptr) << choice.problem;
    EXPECT_EQ(choice.code->ncbi_table, c.table);
    EXPECT_TRUE(choice.problem.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NcbiTableChoices,
    ::testing::Values(ChoiceCase{"One", "1", 1}, ChoiceCase{"Eleven", "11", 11},
                      ChoiceCase{"Last", "33", 33}, ChoiceCase{"LeadingZero", "04", 4},
                      ChoiceCase{"Empty", "", 0}, ChoiceCase{"Zero", "0", 0},
                      ChoiceCase{"Gap7", "7", 0}, ChoiceCase{"Gap17", "17", 0},
                      ChoiceCase{"PastTheEnd", "34", 0}, ChoiceCase{"Negative", "-1", 0},
                      ChoiceCase{"Plus", "+2", 0}, ChoiceCase{"LeadingSpace", " 2", 0},
                      ChoiceCase{"TrailingSpace", "2 ", 0}, ChoiceCase{"Decimal", "2.0", 0},
                      ChoiceCase{"Hex", "0x2", 0}, ChoiceCase{"Word", "eleven", 0},
                      ChoiceCase{"Huge", "4294967307", 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(NcbiTableChoices, ProblemsNameTheTextAndTheDefinedTables) {
  EXPECT_EQ(ChooseNcbiTable("7").problem,
            "NCBI defines no translation table 7 (tables: 1-6, 9-16, 21-33)");
  EXPECT_EQ(ChooseNcbiTable("x1").problem,
            "--gcode needs an NCBI translation table number, not 'x1'");
}

}  // namespace
}  // namespace trelba
