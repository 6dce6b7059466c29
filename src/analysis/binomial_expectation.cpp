#include "analysis/binomial_expectation.hpp"

#include "analysis/binomial_walk.hpp"
#include "analysis/compensated_sum.hpp"
#include "analysis/entropy_table.hpp"
#include "analysis/order.hpp"

namespace trelba {
namespace {

// Terms whose weights, with all the weights beyond them, are below this share of the sums
// so far are left out.
constexpr double kNegligibleShare = 0x1p-60;
// No entropy term exceeds 1/e.
constexpr double kLargestTerm = 0.37;

}  // namespace

double ExpectedEntropyTerm(std::uint64_t n, double q, double total) {
  const bool tabulated = total == static_cast<double>(n) && n <= kEntropyTableMaxTotal;
  const auto term = [&](std::uint64_t c) {
    return tabulated ? TabulatedEntropyTerm(c, n) : EntropyTerm(static_cast<double>(c) / total);
  };
  if (n == 0 || q == 0.0) return 0.0;  // c = 0: the term of 0 is 0
  if (q == 1.0) return term(n);
  CompensatedSum weights;
  CompensatedSum terms;
  WalkBinomial(
      n, q, 0, n,
      [&](std::uint64_t c, double weight) {
        weights.Add(weight);
        terms.Add(weight * term(c));
      },
      [&](double rest) {
        return rest <= kNegligibleShare * weights.sum &&
               rest * kLargestTerm <= kNegligibleShare * terms.sum;
      });
  return terms.value() / weights.value();
}

}  // namespace trelba
