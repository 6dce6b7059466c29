#include "numeric/natural_log.hpp"

#include <bit>
#include <cstdint>
#include <limits>

#include "numeric/double_double.hpp"
#include "numeric/natural_log_argument.hpp"
#include "numeric/natural_log_exact.hpp"
#include "numeric/natural_log_tables.hpp"

// ln x = k ln2 - ln r + log1p(z), x = 2^k m, r ~ 1/m from the table, z = m r - 1 exact
// in one double, |z| < 2^-8. The sum s + p (s = k ln2 - ln r, p = log1p(z)) is formed as
// a double-double hi + lo with an error below e = 2^-50 |z|^3 + 2^-93 |s| + 2^-101 |z|
// (bound below); when hi + (lo - e) and hi + (lo + e) round alike, every value within e
// of hi + lo rounds to that double, which is then ln x correctly rounded. Otherwise the
// exact path decides: none of the 9 million count fractions up to 3000, 3 of 10 million
// doubles over (0, 8], more among 1 + d for |d| < 2^-48, whose logarithm d - d^2/2 + ...
// lies within d^3/3 of a midpoint.
//
// Error of log1p(z):
//   z^3 (c3 + ... + c9 z^6) is below |z|^3 / 2.99; the rounded cube (2^-52), Estrin's
//     scheme with rounded coefficients (2^-51.7) and the product (2^-53) err by 2^-50.5
//     of it: 2^-52.1 |z|^3;
//   the terms after z^9: below |z|^10 / 10 <= 2^-59.3 |z|^3;
//   z - z^2/2 is a double-double from Veltkamp's split z = h + l: z - h^2/2 exactly, and
//     the tail l (h + z) / 2 = (2 h l + l^2) / 2 to 2^-52 of itself: 2^-79 z^2.
// Error of s: -ln r is tabulated to 2^-106 of itself, k ln2's head is exact and its tail
// (|k| < 2^11) errs by 2^-96 |k|, where |s| >= 0.31 |k|.
// The double-double additions are exact (FastTwoSum's |a| >= |b|: |z| > z^2/2; for k != 0
// |k ln2| > 0.69 > |ln r| and |s| > 0.3 > |p|; for k = 0 the generator checks that
// |p| < |-ln r| wherever r != 1); the three additions of low parts that
// hold p's low part each round by 2^-53 of at most |z|^3 / 2.99 + 2^-51 (|s| + |z|):
// 3 times 2^-54.6 |z|^3 + 2^-104 (|s| + |z|).
// So the error is below 2^-51.5 |z|^3 + 2^-94 |s| + 2^-102.4 |z| + 2^-79 z^2. The test
// allows 2^-50 |z| fl(z^2) + 2^-93 |s| + 2^-101 |z|: its margins over the first three
// terms, 0.64 2^-50 |z|^3 + 0.62 2^-101 |z| >= 2 sqrt(0.4 2^-151) z^2 > 2^-76 z^2, cover
// the fourth and the rounding of lo +- e. For |z| near 2^-8 and s = 0 that is 2^-66
// |ln x|; elsewhere |z| < |ln x| (checked by the table generator) and |z| is usually far
// smaller than |s|, so that the bound is nearer 2^-77 |ln x|.

namespace trelba {

namespace {

using double_double::DoubleDouble;
using double_double::FastTwoSum;
using double_double::Magnitude;
using double_double::Square;
using natural_log_detail::kLn2Head;
using natural_log_detail::kLn2Tail;
using natural_log_detail::kLog1pSeries;
using natural_log_detail::kLogMantissaTailBits;
using natural_log_detail::kLogReductions;
using natural_log_detail::LogArgument;

// The error bounds above take |z| < 2^-8, which the generated table must give.
static_assert(natural_log_detail::kLogLargestReducedArgument <= 0x1p-8);

// The error allowed for in the rounding test, in multiples of |z|^3, |s| and |z|.
constexpr double kCubeError = 0x1p-50;
constexpr double kTabulatedError = 0x1p-93;
constexpr double kReducedError = 0x1p-101;

constexpr std::uint64_t kSmallestNormalBits = 0x0010000000000000;
constexpr std::uint64_t kInfinityBits = 0x7ff0000000000000;
constexpr double kSubnormalScale = 0x1p52;
constexpr int kSubnormalScaleExponent = 52;

// c3 + c4 z + ... + c9 z^6 by Estrin's scheme (shorter chains than Horner's rule), given
// z and a rounded z^2.
double Log1pSeries(double z, double z2) {
  const auto& c = kLog1pSeries;
  static_assert(c.size() == 7);
  const double z4 = z2 * z2;
  return ((c[0] + c[1] * z) + z2 * (c[2] + c[3] * z)) + z4 * ((c[4] + c[5] * z) + z2 * c[6]);
}

double FiniteNormalLog(std::uint64_t bits, int exponent_bias) {
  const LogArgument argument = natural_log_detail::SplitLogArgument(bits, exponent_bias);
  const natural_log_detail::LogReduction& entry = kLogReductions[argument.index];
  const double r = entry.reciprocal;

  // z = m r - 1 exactly: m's head (its last bits cleared) times r fits in 53 bits and
  // lies in [0.99, 1.01], so less 1 is exact (Sterbenz); the tail times r fits too; and
  // their sum, m r - 1, is a double (see the tables), so the addition is exact.
  constexpr std::uint64_t kHeadMask = ~((std::uint64_t{1} << kLogMantissaTailBits) - 1);
  const double m = argument.mantissa;
  const double m_head = std::bit_cast<double>(std::bit_cast<std::uint64_t>(m) & kHeadMask);
  const double z = (m_head * r - 1.0) + (m - m_head) * r;

  // log1p(z) as p.hi + p_lo.
  const DoubleDouble square = Square(z);
  const double z2 = square.hi + square.lo;
  const DoubleDouble p = FastTwoSum(z, -0.5 * square.hi);
  const double cube = z * z2;
  const double p_lo = (p.lo - 0.5 * square.lo) + cube * Log1pSeries(z, z2);

  // k ln2 - ln r, then the sum.
  const auto k = static_cast<double>(argument.exponent);
  const DoubleDouble s = FastTwoSum(k * kLn2Head, entry.neg_log_head);
  // |s.hi| >= |p.hi| unless s.hi = 0: for k != 0, |s| > 0.3 > |p|; else the tables ensure it.
  const DoubleDouble head = FastTwoSum(s.hi, p.hi);
  const double lo = head.lo + (((s.lo + entry.neg_log_tail) + k * kLn2Tail) + p_lo);

  const double error =
      kTabulatedError * Magnitude(s.hi) + Magnitude(z) * (kReducedError + kCubeError * z2);
  const double above = head.hi + (lo + error);
  const double below = head.hi + (lo - error);
  if (above == below) [[likely]]
    return above;
  return natural_log_detail::ExactNaturalLog(argument);
}

}  // namespace

double NaturalLog(double x) {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  if (bits - kSmallestNormalBits < kInfinityBits - kSmallestNormalBits) [[likely]] {
    return FiniteNormalLog(bits, 0);
  }
  if (x != x) return x + x;  // NaN stays NaN (quiet)
  if (x == 0.0) return -std::numeric_limits<double>::infinity();
  if (x < 0.0) return std::numeric_limits<double>::quiet_NaN();
  if (x == std::numeric_limits<double>::infinity()) return x;
  return FiniteNormalLog(std::bit_cast<std::uint64_t>(x * kSubnormalScale),
                         -kSubnormalScaleExponent);
}

}  // namespace trelba
