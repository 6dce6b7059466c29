// The binomial probabilities of a count, up to a common factor, walked from the mode
// outwards: the sums of the expected score and of its variance are taken over them.
#pragma once

#include <cstdint>

namespace trelba {

// Calls `visit(c, weight)` for c ~ Binomial(n, q), 0 < q < 1, restricted to [lo, hi]
// (lo <= hi <= n): first at `start`, the mode moved into [lo, hi], with weight 1, then
// upwards and then downwards from it, each weight the previous one times the ratio of
// neighbouring probabilities, so nothing overflows and a weight underflows only where it
// no longer counts. Away from the mode the ratios fall with every step, so a weight w after
// a ratio r < 1 bounds all the weights beyond it by w r / (1 - r); a direction ends once
// `negligible(that bound)` holds, or at its end of [lo, hi].
template <class Visit, class Negligible>
void WalkBinomial(std::uint64_t n, double q, std::uint64_t lo, std::uint64_t hi, Visit visit,
                  Negligible negligible) {
  const double up = q / (1.0 - q);    // P(c + 1) / P(c) = (n - c) / (c + 1) * up
  const double down = (1.0 - q) / q;  // P(c - 1) / P(c) = c / (n - c + 1) * down
  auto start = static_cast<std::uint64_t>((static_cast<double>(n) + 1.0) * q);
  if (start > hi) start = hi;
  if (start < lo) start = lo;
  visit(start, 1.0);
  double weight = 1.0;
  for (std::uint64_t c = start; c < hi; ++c) {
    const double ratio = static_cast<double>(n - c) / static_cast<double>(c + 1) * up;
    weight = weight * ratio;
    visit(c + 1, weight);
    if (ratio < 1.0 && negligible(weight * ratio / (1.0 - ratio))) break;
  }
  weight = 1.0;
  for (std::uint64_t c = start; c > lo; --c) {
    const double ratio = static_cast<double>(c) / static_cast<double>(n - c + 1) * down;
    weight = weight * ratio;
    visit(c - 1, weight);
    if (ratio < 1.0 && negligible(weight * ratio / (1.0 - ratio))) break;
  }
}

}  // namespace trelba
