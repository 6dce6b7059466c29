// Exact sums and products of doubles kept as a head and a tail (double-double
// arithmetic), for NaturalLog and Exponential. Each holds only under double arithmetic
// without extended precision (FLT_EVAL_METHOD 0) and without contraction of a * b + c,
// which trelba/ieee_double.hpp pins, and away from overflow and underflow.
#pragma once

#include <bit>
#include <cstdint>

#include "trelba/ieee_double.hpp"

namespace trelba::double_double {

struct DoubleDouble {
  double hi;
  double lo;
};

// hi + lo == a + b exactly, for |a| >= |b| or a == 0 (Dekker).
inline DoubleDouble FastTwoSum(double a, double b) {
  const double sum = a + b;
  return {sum, b - (sum - a)};
}

// hi + lo == a + b exactly, whichever is larger (Knuth).
inline DoubleDouble TwoSum(double a, double b) {
  const double sum = a + b;
  const double b_part = sum - a;
  const double a_part = sum - b_part;
  return {sum, (a - a_part) + (b - b_part)};
}

// a = hi + lo exactly, hi of at most 26 significant bits and lo of at most 26
// (Veltkamp's split).
inline DoubleDouble Split(double a) {
  constexpr double kSplitter = 0x1p27 + 1.0;
  const double scaled = kSplitter * a;
  const double head = scaled - (scaled - a);
  return {head, a - head};
}

// a * a as hi + lo: the split a = h + l gives hi = h^2 exactly and lo = l (h + a) =
// 2 h l + l^2 to 2^-52 of itself, which is at most 2^-25 a^2: lo errs by 2^-77 a^2.
inline DoubleDouble Square(double a) {
  const DoubleDouble parts = Split(a);
  return {parts.hi * parts.hi, parts.lo * (parts.hi + a)};
}

// |value|, by clearing the sign bit (no branch).
inline double Magnitude(double value) {
  constexpr std::uint64_t kSignBit = std::uint64_t{1} << 63;
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(value) & ~kSignBit);
}

}  // namespace trelba::double_double
