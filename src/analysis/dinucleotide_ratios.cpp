#include "analysis/dinucleotide_ratios.hpp"

#include <cstdint>
#include <limits>

namespace trelba {
namespace {

using Pairs = std::array<std::uint64_t, 16>;

double ObservedOverExpected(const Pairs& pairs, unsigned first, unsigned second) {
  std::uint64_t n = 0, first_is = 0, second_is = 0;
  for (unsigned x = 0; x < 4; ++x) {
    for (unsigned y = 0; y < 4; ++y) n += pairs[4 * x + y];
    first_is += pairs[4 * first + x];
    second_is += pairs[4 * x + second];
  }
  if (first_is == 0 || second_is == 0) return std::numeric_limits<double>::quiet_NaN();
  const auto as_double = [](std::uint64_t count) { return static_cast<double>(count); };
  return as_double(pairs[4 * first + second]) * as_double(n) /
         (as_double(first_is) * as_double(second_is));
}

}  // namespace

DinucleotideRatios DinucleotideRatiosOf(const DinucleotideCounts& counts) {
  constexpr unsigned kT = kBaseT, kC = kBaseC, kA = kBaseA, kG = kBaseG;
  Pairs all{};
  for (const Pairs& frame : counts) {
    for (std::size_t i = 0; i < all.size(); ++i) all[i] += frame[i];
  }
  DinucleotideRatios ratios;
  ratios[0] = ObservedOverExpected(all, kC, kG);
  ratios[1] = ObservedOverExpected(all, kT, kA);
  for (std::size_t f = 0; f < counts.size(); ++f) {
    ratios[2 + 2 * f] = ObservedOverExpected(counts[f], kC, kG);
    ratios[3 + 2 * f] = ObservedOverExpected(counts[f], kT, kA);
  }
  return ratios;
}

}  // namespace trelba
