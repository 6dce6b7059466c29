#include "analysis/binomial_expectation.hpp"

#include "analysis/entropy_table.hpp"
#include "analysis/order.hpp"

namespace trelba {
namespace {

// Terms whose weights, with all the weights beyond them, are below this share of the sums
// so far are left out.
constexpr double kNegligibleShare = 0x1p-60;
// No entropy term exceeds 1/e.
constexpr double kLargestTerm = 0.37;

// A sum of non-negative numbers with the rounding error of each addition kept apart
// (Neumaier's compensated summation), so that thousands of terms add up to within a few
// units of the last place.
struct CompensatedSum {
  double sum = 0.0;
  double error = 0.0;

  void Add(double x) {
    const double next = sum + x;
    error += sum >= x ? (sum - next) + x : (x - next) + sum;
    sum = next;
  }
  double value() const { return sum + error; }
};

// The binomial probabilities up to a common factor, from the mode outwards: the mode's
// weight is 1 and each step multiplies by the ratio of neighbouring probabilities, so
// nothing overflows and a weight underflows only where it no longer counts. Past the mode
// the ratios fall with every step, so a weight w after ratio r < 1 bounds all the weights
// beyond it by w r / (1 - r).
struct WeightedSums {
  CompensatedSum weights;
  CompensatedSum terms;

  void Add(double weight, double term) {
    weights.Add(weight);
    terms.Add(weight * term);
  }
  bool RestIsNegligible(double weight, double ratio) const {
    if (ratio >= 1.0) return false;
    const double rest = weight * ratio / (1.0 - ratio);
    return rest <= kNegligibleShare * weights.sum &&
           rest * kLargestTerm <= kNegligibleShare * terms.sum;
  }
};

}  // namespace

double ExpectedEntropyTerm(std::uint64_t n, double q, double total) {
  const bool tabulated = total == static_cast<double>(n) && n <= kEntropyTableMaxTotal;
  const auto term = [&](std::uint64_t c) {
    return tabulated ? TabulatedEntropyTerm(c, n) : EntropyTerm(static_cast<double>(c) / total);
  };
  if (n == 0 || q == 0.0) return 0.0;  // c = 0: the term of 0 is 0
  if (q == 1.0) return term(n);
  const double up = q / (1.0 - q);    // P(c + 1) / P(c) = (n - c) / (c + 1) * up
  const double down = (1.0 - q) / q;  // P(c - 1) / P(c) = c / (n - c + 1) * down
  auto mode = static_cast<std::uint64_t>((static_cast<double>(n) + 1.0) * q);
  if (mode > n) mode = n;
  WeightedSums sums;
  sums.Add(1.0, term(mode));
  double weight = 1.0;
  for (std::uint64_t c = mode; c < n; ++c) {
    const double ratio = static_cast<double>(n - c) / static_cast<double>(c + 1) * up;
    weight = weight * ratio;
    sums.Add(weight, term(c + 1));
    if (sums.RestIsNegligible(weight, ratio)) break;
  }
  weight = 1.0;
  for (std::uint64_t c = mode; c > 0; --c) {
    const double ratio = static_cast<double>(c) / static_cast<double>(n - c + 1) * down;
    weight = weight * ratio;
    sums.Add(weight, term(c - 1));
    if (sums.RestIsNegligible(weight, ratio)) break;
  }
  return sums.terms.value() / sums.weights.value();
}

}  // namespace trelba
