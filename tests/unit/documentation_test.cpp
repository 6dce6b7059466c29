// The variant table, family key and --help lines say what the code does: each stated
// difference from an NCBI table is checked against NCBI's own amino-acid strings, and
// each "not 1 - H/ln k" claim against the analysis itself.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include "analysis/sequence_analysis.hpp"
#include "code_documentation.hpp"
#include "driver/help_text.hpp"
#include "variant_notes.hpp"

namespace trelba {
namespace {

// NCBI translation tables as amino-acid strings, one letter per codon in TCAG order
// (TTT TTC TTA TTG TCT ... GGG), which is this program's codon index order 1 to 64.
const std::map<int, std::string_view> kNcbiTables = {
    {1, "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {2, "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNKKSS**VVVVAAAADDEEGGGG"},
    {3, "FFLLSSSSYY**CCWWTTTTPPPPHHQQRRRRIIMMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {4, "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {5, "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNKKSSSSVVVVAAAADDEEGGGG"},
    {6, "FFLLSSSSYYQQCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {9, "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNNKSSSSVVVVAAAADDEEGGGG"},
    {10, "FFLLSSSSYY**CCCWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {11, "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {12, "FFLLSSSSYY**CC*WLLLSPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {13, "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNKKSSGGVVVVAAAADDEEGGGG"},
    {14, "FFLLSSSSYYY*CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNNKSSSSVVVVAAAADDEEGGGG"},
    {16, "FFLLSSSSYY*LCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {21, "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNNKSSSSVVVVAAAADDEEGGGG"},
    {24, "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSSKVVVVAAAADDEEGGGG"},
    {33, "FFLLSSSSYYY*CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSSKVVVVAAAADDEEGGGG"},
};

// The codons that variant `number` treats otherwise than NCBI table `table`: in no
// family, in two, or in a family of another amino acid.
std::set<int> DifferingCodons(int number, int table) {
  const GeneticCode& code = GeneticCodeNumber(number);
  std::set<int> differing;
  for (int codon = 1; codon <= kCodonCount; ++codon) {
    const auto families = FamiliesOfCodon(code, codon);
    const char ncbi = kNcbiTables.at(table)[static_cast<std::size_t>(codon - 1)];
    if (families.size() != 1 || kFamilyLetters[static_cast<std::size_t>(families[0])] != ncbi) {
      differing.insert(codon);
    }
  }
  return differing;
}

std::set<int> Codons(std::string_view names) {
  std::set<int> codons;
  for (int codon = 1; codon <= kCodonCount; ++codon) {
    if (names.find(CodonName(codon)) != std::string_view::npos) codons.insert(codon);
  }
  return codons;
}

class EachVariant : public ::testing::TestWithParam<int> {
 protected:
  const VariantNote& note() const { return kVariantNotes[static_cast<std::size_t>(GetParam())]; }
};

INSTANTIATE_TEST_SUITE_P(Variants, EachVariant, ::testing::Range(0, kGeneticCodeCount),
                         [](const auto& test) { return "Variant" + std::to_string(test.param); });

TEST_P(EachVariant, StatedDifferencesAreExactlyThoseFromItsNcbiTable) {
  std::set<int> stated;
  for (const CodonDifference& difference : note().differences) {
    for (int codon : Codons(difference.codons)) {
      stated.insert(codon);
      EXPECT_EQ(
          kNcbiTables.at(
              GeneticCodeNumber(GetParam()).amino_acid_table)[static_cast<std::size_t>(codon - 1)],
          difference.ncbi_amino_acid)
          << CodonName(codon);
      // One phrase describes the group, so the variant must treat all of it alike.
      EXPECT_EQ(FamiliesOfCodon(GeneticCodeNumber(GetParam()), codon),
                FamiliesOfCodon(GeneticCodeNumber(GetParam()), *Codons(difference.codons).begin()))
          << CodonName(codon);
    }
  }
  EXPECT_EQ(stated, DifferingCodons(GetParam(), GeneticCodeNumber(GetParam()).amino_acid_table));
}

TEST_P(EachVariant, OnlyTheNamedCloserTableIsCloser) {
  const std::size_t stated =
      DifferingCodons(GetParam(), GeneticCodeNumber(GetParam()).amino_acid_table).size();
  for (const auto& [table, letters] : kNcbiTables) {
    if (table == note().closer_table) continue;
    EXPECT_GE(DifferingCodons(GetParam(), table).size(), stated) << "NCBI table " << table;
  }
  if (note().closer_table != 0) {
    const CodonDifference& closer = note().closer_difference;
    EXPECT_EQ(DifferingCodons(GetParam(), note().closer_table), Codons(closer.codons));
    for (int codon : Codons(closer.codons)) {
      EXPECT_EQ(kNcbiTables.at(note().closer_table)[static_cast<std::size_t>(codon - 1)],
                closer.ncbi_amino_acid);
    }
  }
}

TEST_P(EachVariant, HelpHoldsItsLineWithinEightyColumns) {
  const std::string line = VariantHelpLine(GetParam());
  EXPECT_NE(HelpText().find(line), std::string_view::npos) << line;
  EXPECT_LE(line.size(), 81u) << line;
}

// A family listed as "not 1 - H/ln k" must fail one of the two anchors of a true order
// value (0 for even use of all its codons, 1 for one codon only); every other family with
// a value must meet both.
TEST_P(EachVariant, FamiliesNotFromEntropyAreExactlyThoseMissingTheAnchors) {
  const GeneticCode& code = GeneticCodeNumber(GetParam());
  const std::string listed = FamiliesNotFromEntropy(GetParam());
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (code.divisor[f] == 0) continue;
    const Family& family = code.families[f];
    CodonCounts even{};
    for (unsigned m = 0; m < family.size; ++m) even[family.members[m]] = 10;
    bool anchored = true;
    SequenceAnalysis result;
    AnalyseSequence(code, even, result);
    anchored = anchored && std::abs(result.order[f]) < 1e-12;
    for (unsigned m = 0; m < family.size; ++m) {
      CodonCounts one{};
      one[family.members[m]] = 10;
      AnalyseSequence(code, one, result);
      anchored = anchored && result.order[f] == 1.0;
    }
    const bool is_listed = listed.find(kFamilyNames[f]) != std::string::npos;
    EXPECT_NE(anchored, is_listed) << kFamilyNames[f];
  }
}

// The values the README quotes for reading .iik.
struct QuotedValue {
  const char* name;
  int variant;
  std::vector<std::pair<const char*, std::uint64_t>> codons;
  int family;
  double expected;
};

void PrintTo(const QuotedValue& c, std::ostream* os) {
  *os << c.name;
}

class QuotedValues : public ::testing::TestWithParam<QuotedValue> {};

TEST_P(QuotedValues, AreWhatTheAnalysisGives) {
  const QuotedValue& c = GetParam();
  CodonCounts counts{};
  for (const auto& [name, n] : c.codons) {
    for (int codon = 1; codon <= kCodonCount; ++codon) {
      if (CodonName(codon) == name) counts[static_cast<std::size_t>(codon)] = n;
    }
  }
  SequenceAnalysis result;
  AnalyseSequence(GeneticCodeNumber(c.variant), counts, result);
  EXPECT_NEAR(result.order[static_cast<std::size_t>(c.family)], c.expected, 5e-7);
}

INSTANTIATE_TEST_SUITE_P(
    Readme, QuotedValues,
    ::testing::Values(
        QuotedValue{"AbsentCysIsOne", 0, {{"TTT", 5}}, 6, 1.0},
        QuotedValue{"TrpAnyRatioUnderVariant1", 1, {{"TGA", 1}, {"TGG", 7}}, 7, -0.442695},
        QuotedValue{"TrpEvenUnderVariant7", 7, {{"TGA", 4}, {"TGG", 4}}, 7, -0.442695},
        QuotedValue{"MetAtgOnlyUnderVariant4", 4, {{"ATG", 9}}, 13, -0.442695},
        QuotedValue{"MetLowestNearAtaShareOneInSevenPointFour",
                    1,
                    {{"ATA", 1353}, {"ATG", 8647}},
                    13,
                    -0.637943},
        QuotedValue{"MetAtaOnlyUnderVariant2", 2, {{"ATA", 3}}, 13, 1.0}),
    [](const auto& test) { return std::string(test.param.name); });

// The list of NCBI tables names exactly the codons whose amino acid differs from table 1,
// as the test's own copies of NCBI's strings say.
TEST(NcbiTableList, NamesExactlyTheCodonsThatDifferFromTheStandardTable) {
  for (const auto& [table, letters] : kNcbiTables) {
    std::set<int> differing;
    for (int codon = 1; codon <= kCodonCount; ++codon) {
      const auto i = static_cast<std::size_t>(codon - 1);
      if (letters[i] != kNcbiTables.at(1)[i]) differing.insert(codon);
    }
    EXPECT_EQ(Codons(NcbiDeparturesFromStandard(table)), differing) << "table " << table;
  }
  EXPECT_EQ(NcbiDeparturesFromStandard(2), "TGA: Trp; ATA: Met; AGA AGG: stop");
}

}  // namespace
}  // namespace trelba
