// Synonymous draws for the tests of the null moments: every outcome of drawing a family's
// codons from a background with its probability, seeded random redraws of real genes, and
// the backgrounds and genes they start from.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "analysis/background.hpp"
#include "codes/genetic_code.hpp"
#include "read_sequences.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba::test {

// A skewed background: uneven counts, and some codons the background never holds.
inline CodonCounts SkewedCounts() {
  CodonCounts counts{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) counts[c] = c % 5 == 0 ? 0 : (c * 7) % 11 + 1;
  return counts;
}

// Calls `each(counts, probability)` for every outcome of drawing `n` codons among `codons`
// with probabilities `q` (the other counts of `base` kept).
inline void ForEachDraw(const std::vector<std::size_t>& codons, const CodonValues& q,
                        std::uint64_t n, const CodonCounts& base,
                        const std::function<void(const CodonCounts&, double)>& each) {
  CodonCounts counts = base;
  if (codons.empty()) return each(counts, 1.0);  // an empty family (no stops: NCBI 27)
  // Codon i takes c of the `left` codons still to place: C(left, c) q^c.
  std::function<void(std::size_t, std::uint64_t, double)> place =
      [&](std::size_t i, std::uint64_t left, double probability) {
        if (i + 1 == codons.size()) {
          double p = probability;
          for (std::uint64_t c = 0; c < left; ++c) p *= q[codons[i]];
          counts[codons[i]] = left;
          each(counts, p);
          return;
        }
        double p = probability;  // times C(left, c) q^c, built up as c grows
        for (std::uint64_t c = 0; c <= left; ++c) {
          counts[codons[i]] = c;
          place(i + 1, left - c, p);
          p = p * static_cast<double>(left - c) / static_cast<double>(c + 1) * q[codons[i]];
        }
      };
  place(0, n, 1.0);
}

// The mean and variance of values given with their probabilities: {probability, value}.
struct OutcomeMoments {
  double mean = 0.0;
  double variance = 0.0;
};
inline OutcomeMoments MomentsOf(const std::vector<std::pair<double, double>>& outcomes) {
  OutcomeMoments moments;
  for (const auto& [p, value] : outcomes) moments.mean += p * value;
  for (const auto& [p, value] : outcomes) {
    moments.variance += p * (value - moments.mean) * (value - moments.mean);
  }
  return moments;
}

// The same for the drawn members of family `f` under `background`.
inline void ForEachOutcome(const GeneticCode& code, const Background& background, std::size_t f,
                           std::uint64_t n, const CodonCounts& base,
                           const std::function<void(const CodonCounts&, double)>& each) {
  std::vector<std::size_t> drawn;
  const Family& family = code.families[f];
  for (unsigned m = 0; m < family.size; ++m) {
    if (background.drawn[family.members[m]]) drawn.push_back(family.members[m]);
  }
  ForEachDraw(drawn, background.q, n, base, each);
}

// The counts of every sequence of a file of tests/data/real.
inline std::vector<CodonCounts> GenesOf(const char* file) {
  std::ifstream in(std::string(TRELBA_TEST_DATA "/real/") + file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<CodonCounts> genes;
  for (const auto& sequence : ReadSequences(text).sequences) genes.push_back(sequence.counts);
  return genes;
}

inline CodonCounts Pooled(const std::vector<CodonCounts>& genes) {
  CodonCounts pooled{};
  for (const CodonCounts& gene : genes) {
    for (std::size_t c = 0; c <= kCodonCount; ++c) pooled[c] += gene[c];
  }
  return pooled;
}

// Each drawn codon of each family replaced by one drawn from the background.
inline CodonCounts Redraw(const GeneticCode& code, const Background& background,
                          const CodonCounts& gene, std::mt19937_64& random) {
  CodonCounts counts = gene;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    std::uint64_t n = 0;
    for (unsigned m = 0; m < family.size; ++m) {
      if (background.drawn[family.members[m]]) n += std::exchange(counts[family.members[m]], 0);
    }
    for (std::uint64_t i = 0; i < n; ++i) {
      double u = static_cast<double>(random() >> 11) * 0x1p-53;
      unsigned m = 0;
      while (m + 1 < family.size &&
             (!background.drawn[family.members[m]] || u >= background.q[family.members[m]])) {
        if (background.drawn[family.members[m]]) u -= background.q[family.members[m]];
        ++m;
      }
      ++counts[family.members[m]];
    }
  }
  return counts;
}

}  // namespace trelba::test
