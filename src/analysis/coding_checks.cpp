#include "analysis/coding_checks.hpp"

#include <array>
#include <limits>

namespace trelba {
namespace {

// Bases are numbered T=0, C=1, A=2, G=3 in the codon index: C and G are the odd ones.
constexpr bool IsGc(int base) {
  return base % 2 == 1;
}

}  // namespace

CodingChecks CheckCoding(const GeneticCode& code, const CodonCounts& counts,
                         const SequenceFacts& facts) {
  // A codon's index is 1 + 16 b1 + 4 b2 + b3: each run of four shares its first two bases,
  // and the k-th of each has third base k. Sums by base at each position, then, rather
  // than a product per codon.
  constexpr std::size_t kBases = 4;
  std::array<std::uint64_t, kBases> third{};
  std::array<std::uint64_t, kBases * kBases> first_two{};
  for (std::size_t run = 0; run < kBases * kBases; ++run) {
    for (std::size_t b3 = 0; b3 < kBases; ++b3) {
      const std::uint64_t n = counts[1 + kBases * run + b3];
      third[b3] += n;
      first_two[run] += n;
    }
  }
  CodingChecks checks;
  for (std::size_t run = 0; run < kBases * kBases; ++run) {
    if (IsGc(static_cast<int>(run / kBases))) checks.gc_bases += first_two[run];
    if (IsGc(static_cast<int>(run % kBases))) checks.gc_bases += first_two[run];
  }
  for (std::size_t b3 = 0; b3 < kBases; ++b3) {
    checks.codons += third[b3];
    if (IsGc(static_cast<int>(b3))) checks.gc3_codons += third[b3];
  }
  checks.gc_bases += checks.gc3_codons;
  // Stop codons are members of the stop family.
  const Family& stop_family = code.families[kStopFamily];
  std::uint64_t stops = 0;
  for (unsigned m = 0; m < stop_family.size; ++m) {
    const std::size_t codon = stop_family.members[m];
    if (code.stop[codon]) stops += counts[codon];
  }
  checks.internal_stops = stops - (code.stop[facts.last_triple] ? 1 : 0);
  return checks;
}

double GcContent(const CodingChecks& checks) {
  if (checks.codons == 0) return std::numeric_limits<double>::quiet_NaN();
  return static_cast<double>(checks.gc_bases) / static_cast<double>(3 * checks.codons);
}

double Gc3Content(const CodingChecks& checks) {
  if (checks.codons == 0) return std::numeric_limits<double>::quiet_NaN();
  return static_cast<double>(checks.gc3_codons) / static_cast<double>(checks.codons);
}

}  // namespace trelba
