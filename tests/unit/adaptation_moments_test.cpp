#include "analysis/adaptation_moments.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "synonymous_draws.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

std::size_t Codon(const char* name) {
  return static_cast<std::size_t>(CodonIndexOfName(name));
}

// Q and the weights ln(P / Q) of skewed usages within each amino acid; codons that Q never
// holds take no part, nor does CTT, which Q holds.
struct Usage {
  CodonValues q{};
  CodonValues weights{};
};

Usage SkewedUsage(const SynonymousCodons& synonymous) {
  const CodonCounts background = test::SkewedCounts();
  Usage usage;
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& codons = synonymous.acids[a].codons;
    double q_total = 0.0;
    double p_total = 0.0;
    for (unsigned m = 0; m < codons.size; ++m) {
      q_total += static_cast<double>(background[codons.members[m]]);
      p_total += static_cast<double>(codons.members[m] * 5 % 7 + 1);
    }
    for (unsigned m = 0; m < codons.size; ++m) {
      const std::size_t c = codons.members[m];
      usage.q[c] = static_cast<double>(background[c]) / q_total;
      const double p = static_cast<double>(c * 5 % 7 + 1) / p_total;
      usage.weights[c] =
          usage.q[c] == 0.0 || c == Codon("CTT") ? kNotANumber : std::log(p / usage.q[c]);
    }
  }
  return usage;
}

struct AcidCounts {
  const char* name;
  std::vector<std::pair<const char*, std::uint64_t>> acids;  // a codon of it, n drawn
  std::uint64_t held_ctt = 0;  // CTT codons of the sequence, which take no part
};

void PrintTo(const AcidCounts& c, std::ostream* out) {
  *out << c.name;
}

class EveryDraw : public testing::TestWithParam<AcidCounts> {};

// The mean and variance of the adaptation over every outcome of drawing the sequence's
// codons of each amino acid from Q, the amino-acid counts held: amino acids of 2, 3, 4 and
// 6 codons, and CTT held out of Leu.
TEST_P(EveryDraw, MeanAndVarianceOfTheAdaptation) {
  const GeneticCode& code = GeneticCodeNumber(0);
  const SynonymousCodons synonymous = SynonymousCodonsOf(code);
  const Usage usage = SkewedUsage(synonymous);
  const AdaptationNull null = MakeAdaptationNull(synonymous, usage.weights, usage.q);
  CodonCounts base{};
  base[Codon("CTT")] = GetParam().held_ctt;
  std::vector<std::pair<double, double>> outcomes;  // probability, adaptation
  CodonCounts last{};
  // Draws the amino acids from the i-th on into `counts`, with probability p so far.
  std::function<void(std::size_t, const CodonCounts&, double)> draw =
      [&](std::size_t i, const CodonCounts& counts, double p) {
        if (i == GetParam().acids.size()) {
          double sum = 0.0;
          double length = 0.0;
          for (std::size_t c = 1; c <= kCodonCount; ++c) {
            if (!null.takes_part[c]) continue;
            sum += static_cast<double>(counts[c]) * usage.weights[c];
            length += static_cast<double>(counts[c]);
          }
          outcomes.emplace_back(p, sum / length);
          last = counts;
          return;
        }
        const auto& [codon, n] = GetParam().acids[i];
        std::vector<std::size_t> drawn;
        for (std::size_t c = 1; c <= kCodonCount; ++c) {
          if (synonymous.acid_of[c] == synonymous.acid_of[Codon(codon)] && null.takes_part[c]) {
            drawn.push_back(c);
          }
        }
        CodonValues q = usage.q;  // within the codons that take part
        double q_total = 0.0;
        for (const std::size_t c : drawn) q_total += q[c];
        for (const std::size_t c : drawn) q[c] /= q_total;
        test::ForEachDraw(drawn, q, n, counts, [&](const CodonCounts& next, double p_next) {
          draw(i + 1, next, p * p_next);
        });
      };
  draw(0, base, 1.0);
  const test::OutcomeMoments enumerated = test::MomentsOf(outcomes);
  const NullMoments moments = AdaptationMoments(synonymous, null, last);
  EXPECT_NEAR(moments.mean, enumerated.mean, 1e-12 * std::fabs(enumerated.mean));
  EXPECT_NEAR(moments.variance, enumerated.variance, 1e-12 * enumerated.variance);
}

INSTANTIATE_TEST_SUITE_P(
    AminoAcids, EveryDraw,
    testing::Values(AcidCounts{"Phe6", {{"TTT", 6}}}, AcidCounts{"Ile5", {{"ATT", 5}}},
                    AcidCounts{"Pro4Ser3", {{"CCT", 4}, {"TCT", 3}}},
                    AcidCounts{"Leu6HeldCttArg2Phe1", {{"TTA", 6}, {"CGT", 2}, {"TTT", 1}}, 2}),
    [](const testing::TestParamInfo<AcidCounts>& param) { return param.param.name; });

// Without a codon that takes part the moments are NaN, as the adaptation is.
TEST(AdaptationMoments, NanWithoutCodonsThatTakePart) {
  const SynonymousCodons synonymous = SynonymousCodonsOf(GeneticCodeNumber(0));
  const Usage usage = SkewedUsage(synonymous);
  const AdaptationNull null = MakeAdaptationNull(synonymous, usage.weights, usage.q);
  CodonCounts counts{};
  counts[Codon("ATG")] = 3;
  counts[Codon("CTT")] = 2;
  const NullMoments moments = AdaptationMoments(synonymous, null, counts);
  EXPECT_TRUE(std::isnan(moments.mean));
  EXPECT_TRUE(std::isnan(moments.variance));
}

}  // namespace
}  // namespace trelba
