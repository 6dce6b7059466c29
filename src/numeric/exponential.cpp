#include "numeric/exponential.hpp"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "numeric/double_double.hpp"
#include "numeric/exponential_exact.hpp"
#include "numeric/exponential_tables.hpp"

// e^x = 2^m * 2^(j/256) * e^r, where k = round(x 256/ln2) = 256 m + j (0 <= j < 256) and
// r = x - k ln2/256, |r| <= ln2/512 (1 + 2^-33) < 2^-9.528. 2^(j/256) = T comes from the
// table as head + tail (head of 26 bits, T to 2^-80), e^r - 1 = p from its series as
// p.hi + p_lo, and T (1 + p) is formed as a double-double y.hi + y.lo with a relative
// error below 2^-77 (bound below). When y.hi + (y.lo + e) and y.hi + (y.lo - e) round
// alike for e = 2^-75 y.hi, every value within e of y.hi + y.lo rounds to that double
// (the margin 2^-75 - 2^-77 covers the rounding of y.lo +- e, 2^-105 y.hi), which is then
// e^x / 2^m correctly rounded, and times 2^m (exact: y.hi lies in [0.998, 2.003] and m in
// [-1021, 1024]; at m = 1024 in two steps, so that the product overflows to inf exactly
// when the rounded e^x reaches 2^1024) it is e^x correctly rounded. Otherwise (about one
// argument in 2^21) and for every result below 2^-1021 (m <= -1022: subnormals and their
// neighbours) the exact path decides.
//
// Reduction: k is exact below 2^19 (x between the thresholds); x - k head is exact (k head
// is a multiple of 2^-42, x of 2^-62 for k != 0, and |x - k head| < 2^-9); k middle is
// exact and TwoSum keeps r's head and its error; the tail part adds below 2^-61. The
// generator checks that the three parts of ln2/256 times any such k err by under 2^-100;
// the rounding of l adds 2^-113. So h + l = r to 2^-99, with |l| < 2^-60.6.
// Error of p (absolute), from h and l:
//   the terms after h^6/6!: below |h|^7 / 7! * 1.001 < 2^-79.0;
//   h^3 (1/3! + h/4! + h^2/5! + h^3/6!) from the rounded h^2 (2^-52.9), cube (2^-51.9),
//     coefficients and Estrin's sum (2^-52) and product (2^-53): 2^-50.6 of 2^-31.16,
//     2^-81.8;
//   h + h^2/2 as the split square's exact head plus its tail (2^-77 h^2 / 2 = 2^-97), the
//     head's sum exact (FastTwoSum: |h| >= h^2/2);
//   e^h (e^l - 1) as l (1 + p.hi): 2^-91;
//   the four additions of p_lo, each rounding by 2^-53 of its partial sum (the last of
//     at most 2^-31.1): 2^-84.
//   In all 2^-78.7, with |p.hi| < 2^-9.5 and |p_lo| < 2^-31.1.
// Error of T (1 + p) (relative to T >= 1): 2^-78.7 from p, 2^-80 from the table; head
// times p.hi's 26-bit head is exact, and its sum with head (FastTwoSum); head times
// p.hi's tail is exact; tail (p.hi + p_lo) errs by 2^-87.5 and head p_lo by 2^-83.1; the
// four additions of lo round by 2^-87, 2^-83, 2^-79 (its partial sum with the tail is
// below 2^-25.9) and 2^-79; the last FastTwoSum is exact. In all below 2^-77.07 of T,
// and so (1 + p >= 0.9986) below 2^-77 of T (1 + p).

namespace trelba {

namespace {

using double_double::DoubleDouble;
using double_double::FastTwoSum;
using double_double::Split;
using double_double::Square;
using double_double::TwoSum;
using exponential_detail::kExpIndexBits;
using exponential_detail::kExpPowers;
using exponential_detail::kExpSeries;

// The error allowed for in the rounding test, relative to y.hi.
constexpr double kRelativeError = 0x1p-75;

// Below 2^-54 in magnitude e^x rounds to 1 (it lies within 2^-54 of 1, nearer than the
// midpoints 1 + 2^-53 and 1 - 2^-54); up to 704 neither threshold is near.
constexpr std::uint64_t kTinyBits = 0x3c90000000000000;      // 2^-54
constexpr std::uint64_t kModerateBits = 0x4086000000000000;  // 704
constexpr std::uint64_t kMagnitudeMask = ~(std::uint64_t{1} << 63);

// Results from 2^-1021 up are normal whatever y.hi; m = 1024 is scaled in two steps.
constexpr int kLowestFastScale = -1021;
constexpr int kLargestScale = 1023;

// 2^m for -1022 <= m <= 1023, from its bits.
double PowerOfTwo(int m) {
  constexpr int kExponentBias = 1023;
  constexpr unsigned kFractionBits = 52;
  return std::bit_cast<double>(static_cast<std::uint64_t>(m + kExponentBias) << kFractionBits);
}

// 1/3! + h/4! + h^2/5! + h^3/6! by Estrin's scheme, given h and a rounded h^2.
double ExpSeries(double h, double h2) {
  const auto& c = kExpSeries;
  static_assert(c.size() == 4);
  return (c[0] + c[1] * h) + h2 * (c[2] + c[3] * h);
}

double FiniteExponential(double x) {
  // k = round(x 256/ln2) by the shifter 1.5 * 2^52 (|x 256/ln2| < 2^19).
  constexpr double kShifter = 0x1.8p52;
  const double k_double = (x * exponential_detail::kExpStepsPerUnit + kShifter) - kShifter;
  const auto k = static_cast<std::int64_t>(k_double);
  const auto m = static_cast<int>(k >> kExpIndexBits);
  if (m < kLowestFastScale) return exponential_detail::ExactExponential(x);
  const auto& power = kExpPowers[static_cast<std::size_t>(k) & (kExpPowers.size() - 1)];

  // r = x - k ln2/256 as h + l.
  const DoubleDouble r = TwoSum(x - k_double * exponential_detail::kExpStepHead,
                                -(k_double * exponential_detail::kExpStepMiddle));
  const double h = r.hi;
  const double l = r.lo - k_double * exponential_detail::kExpStepTail;

  // e^r - 1 as p.hi + p_lo.
  const DoubleDouble square = Square(h);
  const double h2 = square.hi + square.lo;
  const DoubleDouble p = FastTwoSum(h, 0.5 * square.hi);
  const double cube = h * h2;
  const double p_lo = (((l + l * p.hi) + p.lo) + 0.5 * square.lo) + cube * ExpSeries(h, h2);

  // T (1 + p) = head + head p.hi + (tail + tail p + head p_lo).
  const DoubleDouble p_parts = Split(p.hi);
  const DoubleDouble sum = FastTwoSum(power.head, power.head * p_parts.hi);
  const double lo =
      sum.lo +
      (power.tail + ((power.head * p_parts.lo + power.tail * (p.hi + p_lo)) + power.head * p_lo));
  const DoubleDouble y = FastTwoSum(sum.hi, lo);

  const double error = kRelativeError * y.hi;
  const double above = y.hi + (y.lo + error);
  const double below = y.hi + (y.lo - error);
  if (above != below) [[unlikely]]
    return exponential_detail::ExactExponential(x);
  if (m > kLargestScale) return (above * PowerOfTwo(kLargestScale)) * PowerOfTwo(m - kLargestScale);
  return above * PowerOfTwo(m);
}

}  // namespace

double Exponential(double x) {
  const std::uint64_t magnitude = std::bit_cast<std::uint64_t>(x) & kMagnitudeMask;
  if (magnitude - kTinyBits < kModerateBits - kTinyBits) [[likely]] {
    return FiniteExponential(x);
  }
  if (x != x) return x + x;  // NaN stays NaN (quiet)
  if (magnitude < kTinyBits) return 1.0;
  if (x > exponential_detail::kExpOverflowThreshold) return std::numeric_limits<double>::infinity();
  if (x < exponential_detail::kExpUnderflowThreshold) return 0.0;
  return FiniteExponential(x);
}

}  // namespace trelba
