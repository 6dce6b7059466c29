#include "analysis/reference_trust.hpp"

#include <array>
#include <cmath>
#include <limits>

#include "analysis/gene_marks.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// splitmix64: one step of the draws of one gene of one copy.
std::uint64_t NextRandom(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

// A draw below `total` from 64 random bits, in integers only, so the same on every platform
// (the bias of the remainder is below total / 2^64).
std::uint64_t Below(std::uint64_t random, std::uint64_t total) {
  return random % total;
}

}  // namespace

double SetStrength(const SynonymousCodons& synonymous, const CodonCounts& set,
                   const CodonCounts& input) {
  double sum = 0.0;
  std::uint64_t codons = 0;
  for (std::size_t i = 0; i < synonymous.acid_count; ++i) {
    const Family& acid = synonymous.acids[i].codons;
    std::uint64_t r = 0, n = 0;
    for (std::size_t k = 0; k < acid.size; ++k) {
      r += set[acid.members[k]];
      n += input[acid.members[k]];
    }
    if (r == 0 || n == 0) continue;
    for (std::size_t k = 0; k < acid.size; ++k) {
      const std::uint64_t rc = set[acid.members[k]], nc = input[acid.members[k]];
      if (rc == 0 || nc == 0) continue;
      const double p = static_cast<double>(rc) / static_cast<double>(r);
      const double q = static_cast<double>(nc) / static_cast<double>(n);
      sum += static_cast<double>(rc) * NaturalLog(p / q);
      codons += rc;
    }
  }
  return codons == 0 ? kNotANumber : sum / static_cast<double>(codons);
}

void RedrawGene(const SynonymousCodons& synonymous, const CodonCounts& input,
                const CodonCounts& counts, int copy, std::uint64_t gene, CodonCounts& drawn) {
  std::uint64_t state = kChanceSeed ^ (static_cast<std::uint64_t>(copy) << 56) ^ gene;
  drawn = counts;
  for (std::size_t i = 0; i < synonymous.acid_count; ++i) {
    const Family& acid = synonymous.acids[i].codons;
    // The codon drawn is the first k whose running total of the input's counts exceeds the
    // draw: the number of running totals at or below it, counted without a branch (a
    // branch on a random draw is mispredicted about every other time).
    std::uint64_t n = 0, total = 0;
    std::array<std::uint64_t, kMaxFamilySize> running{};
    std::array<std::uint64_t, kMaxFamilySize> tally{};
    for (std::size_t k = 0; k < acid.size; ++k) {
      n += counts[acid.members[k]];
      total += input[acid.members[k]];
      running[k] = total;
    }
    if (total == 0) continue;  // n is 0 too: the gene's codons are the input's
    const std::size_t last = acid.size - 1u;
    for (std::uint64_t d = 0; d < n; ++d) {
      const std::uint64_t u = Below(NextRandom(state), total);
      std::size_t k = 0;
      for (std::size_t j = 0; j < last; ++j) k += running[j] <= u;
      ++tally[k];
    }
    for (std::size_t k = 0; k < acid.size; ++k) drawn[acid.members[k]] = tally[k];
  }
}

bool MarkedStrengthsByChance(const SynonymousCodons& synonymous, const CodonCounts& input,
                             const GeneCounts& genes, std::uint8_t mark,
                             double (&strengths)[kChanceCopies]) {
  CodonCounts pooled[kChanceCopies] = {};
  std::uint64_t gene = 0;
  CodonCounts drawn;
  const bool read = genes([&](const CodonCounts& counts, std::uint8_t marks) {
    if ((marks & mark) != 0) {
      for (int copy = 0; copy < kChanceCopies; ++copy) {
        RedrawGene(synonymous, input, counts, copy, gene, drawn);
        for (std::size_t c = 0; c <= kCodonCount; ++c) pooled[copy][c] += drawn[c];
      }
    }
    ++gene;
  });
  for (int copy = 0; copy < kChanceCopies; ++copy) {
    strengths[copy] = SetStrength(synonymous, pooled[copy], input);
  }
  return read;
}

ChanceStrength StrengthByChance(double strength, const double (&copies)[kChanceCopies]) {
  double mean = 0.0;
  for (const double s : copies) mean += s;
  mean /= kChanceCopies;
  double squares = 0.0;
  for (const double s : copies) squares += (s - mean) * (s - mean);
  const double deviation = std::sqrt(squares / (kChanceCopies - 1));
  return {mean, deviation > 0.0 ? (strength - mean) / deviation : kNotANumber};
}

bool ShareOfGc3sAbove(const SynonymousCodons& synonymous, const GeneCounts& genes, double gc3s,
                      double& share) {
  std::uint64_t eligible = 0, above = 0;
  const bool read = genes([&](const CodonCounts& counts, std::uint8_t marks) {
    if ((marks & kMarkEligible) == 0) return;
    ++eligible;
    above += Gc3s(CountSynonymousThirds(synonymous, counts)) >= gc3s;
  });
  share = eligible == 0 ? kNotANumber : static_cast<double>(above) / static_cast<double>(eligible);
  return read;
}

}  // namespace trelba
