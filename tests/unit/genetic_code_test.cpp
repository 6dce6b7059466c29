#include "codes/genetic_code.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "input/codon_index.hpp"

namespace trelba {
namespace {

int Codon(const char* name) {
  return CodonIndex(name[0], name[1], name[2]);
}

// The families (stop family included) that `codon` belongs to under `code`.
std::vector<int> FamiliesOf(const GeneticCode& code, int codon) {
  std::vector<int> found;
  for (int f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[static_cast<std::size_t>(f)];
    for (unsigned m = 0; m < family.size; ++m) {
      if (family.members[m] == codon) found.push_back(f);
    }
  }
  return found;
}

class EveryCode : public ::testing::TestWithParam<int> {
 protected:
  const GeneticCode& code() const { return GeneticCodeNumber(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Codes, EveryCode, ::testing::Range(0, kGeneticCodeCount));

TEST_P(EveryCode, EveryCodonInOneFamilyButTheCode2Exceptions) {
  for (int codon = 1; codon <= kCodonCount; ++codon) {
    const auto families = FamiliesOf(code(), codon);
    if (code().id == '2' && codon >= Codon("CTT") && codon <= Codon("CTG")) {
      EXPECT_TRUE(families.empty()) << codon;
    } else if (code().id == '2' && (codon == Codon("AGA") || codon == Codon("AGG"))) {
      EXPECT_EQ(families, (std::vector<int>{kStopFamily, 11})) << codon;
    } else {
      EXPECT_EQ(families.size(), 1u) << "codon " << codon;
    }
  }
}

TEST_P(EveryCode, MembersAscendAndDivisorIsFamilySize) {
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code().families[f];
    ASSERT_GE(family.size, 1u) << f;
    for (unsigned m = 1; m < family.size; ++m) {
      EXPECT_LT(family.members[m - 1], family.members[m]) << "family " << f;
    }
    const unsigned expected = (f == kStopFamily || family.size == 1) ? 0u : family.size;
    EXPECT_EQ(code().divisor[f], expected) << "family " << f;
  }
}

TEST_P(EveryCode, DenominatorHoldsEveryMultiCodonFamilyOnceWithMetAndTrpLast) {
  std::vector<int> expected;
  for (int f = 1; f <= kFamilyCount; ++f) {
    if (f != kStopFamily && f != 7 && f != 13 &&
        code().families[static_cast<std::size_t>(f)].size > 1) {
      expected.push_back(f);
    }
  }
  for (int f : {13, 7}) {
    if (code().families[static_cast<std::size_t>(f)].size > 1) expected.push_back(f);
  }
  const std::vector<int> actual(code().denominator.begin(),
                                code().denominator.begin() + code().denominator_size);
  EXPECT_EQ(actual, expected);
}

TEST(GeneticCode, OneCodonFamiliesByCode) {
  const std::vector<std::set<int>> expected = {{7, 13}, {},      {},      {13},
                                               {},      {7, 13}, {7, 13}, {13, 16}};
  for (int n = 0; n < kGeneticCodeCount; ++n) {
    std::set<int> single;
    for (int f = 1; f <= kFamilyCount; ++f) {
      if (f != kStopFamily &&
          GeneticCodeNumber(n).families[static_cast<std::size_t>(f)].size == 1) {
        single.insert(f);
      }
    }
    EXPECT_EQ(single, expected[static_cast<std::size_t>(n)]) << "code " << n;
  }
}

struct Membership {
  int code;
  const char* codon;
  std::vector<int> families;
};

void PrintTo(const Membership& c, std::ostream* os) {
  *os << "variant " << c.code << ", " << c.codon << " in families";
  for (int f : c.families) *os << ' ' << f;
}

class MembershipCases : public ::testing::TestWithParam<Membership> {};

TEST_P(MembershipCases, CodonBelongsTo) {
  const Membership& c = GetParam();
  EXPECT_EQ(FamiliesOf(GeneticCodeNumber(c.code), Codon(c.codon)), c.families)
      << "code " << c.code << " " << c.codon;
}

INSTANTIATE_TEST_SUITE_P(Variants, MembershipCases,
                         ::testing::Values(Membership{0, "TGA", {5}}, Membership{0, "TGG", {7}},
                                           Membership{0, "ATA", {12}}, Membership{1, "TGA", {7}},
                                           Membership{1, "ATA", {13}}, Membership{3, "ATA", {12}},
                                           Membership{4, "AGA", {3}}, Membership{4, "AGG", {3}},
                                           Membership{4, "ATA", {13}}, Membership{5, "TGA", {5}},
                                           Membership{5, "TAA", {10}}, Membership{5, "TAG", {10}},
                                           Membership{6, "TGA", {6}}, Membership{6, "TAA", {5}},
                                           Membership{7, "AAA", {19}}, Membership{7, "AAG", {16}},
                                           Membership{7, "AAT", {15}}, Membership{7, "AGG", {3}},
                                           Membership{2, "TTA", {2}},
                                           Membership{2, "AGA", {5, 11}}),
                         [](const auto& test) {
                           return "Code" + std::to_string(test.param.code) + "_" + test.param.codon;
                         });

TEST(SelectGeneticCode, OnlyTheExactDigitsOneToSevenSelectAVariant) {
  for (char digit = '1'; digit <= '7'; ++digit) {
    EXPECT_EQ(SelectGeneticCode(std::string(1, digit)).id, digit);
  }
  for (const char* other : {"0", "", "8", "9", "01", " 1", "1 ", "11", "a", "-1"}) {
    EXPECT_EQ(&SelectGeneticCode(other), &GeneticCodeNumber(0)) << "'" << other << "'";
  }
}

}  // namespace
}  // namespace trelba
