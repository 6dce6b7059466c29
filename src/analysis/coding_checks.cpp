#include "analysis/coding_checks.hpp"

#include <array>
#include <limits>

namespace trelba {
namespace {

// Bases are numbered T=0, C=1, A=2, G=3 in the codon index: C and G are the odd ones.
constexpr bool IsGc(int base) {
  return base % 2 == 1;
}

struct CodonBases {
  std::uint8_t gc = 0;  // G and C among its three bases
  bool gc3 = false;     // G or C third
};

constexpr std::array<CodonBases, kCodonCount + 1> kCodonBases = [] {
  std::array<CodonBases, kCodonCount + 1> bases{};
  for (int i = 1; i <= kCodonCount; ++i) {
    const int b1 = (i - 1) / 16, b2 = (i - 1) / 4 % 4, b3 = (i - 1) % 4;
    bases[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(IsGc(b1) + IsGc(b2) + IsGc(b3)),
                                          IsGc(b3)};
  }
  return bases;
}();

}  // namespace

CodingChecks CheckCoding(const GeneticCode& code, const CodonCounts& counts,
                         const SequenceFacts& facts) {
  CodingChecks checks;
  std::uint64_t stops = 0;
  // Without branches, so that the compiler may take several codons at a time.
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint64_t n = counts[c];
    checks.codons += n;
    checks.gc_bases += n * kCodonBases[c].gc;
    checks.gc3_codons += n * kCodonBases[c].gc3;
    stops += n * code.stop[c];
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
