#include "numeric/exponential_exact.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "numeric/exponential_tables.hpp"

// e^x = 2^M e^r with M = floor(x / ln2) and 0 <= r < ln2, in fixed point of F = 256
// fraction bits (then 512 and 1024 if need be): x is exact at that precision (|x| >= 2^-54
// is a multiple of 2^-106); r = x - M ln2 with ln 2 truncated to F bits is exact; e^r =
// 1 + r + r^2/2! + ... is summed until a term vanishes, each term the last one times r
// and divided by n, both truncated.
//
// Error, in units of 2^-F: ln 2 at F bits errs by 1.5 units (truncation of a 1024-bit
// rounding), so r by |M| * 1.5 <= 1614 and e^r (below 2) by 3229; each term errs by
// r/n <= 0.35 of the last one's error, plus 1/n unit from its product's truncation
// (divided by n) and 1 from its division's: by 2.31 units at most, over at most 160
// terms, and the terms dropped after the first that vanished sum below 4 units: below
// 2^12 units in all (kErrorBit). Rounding: the
// bits kept (52 below the leading one, fewer for a subnormal result) are decided when the
// remainder below them lies more than 2^12 units from half of the last bit kept; every
// value within the error then rounds the same way. Otherwise the precision doubles. As
// e^x is transcendental for x != 0 (Lindemann), it is never a midpoint, so enough
// precision always decides; 256 bits have decided every argument tried, the hardest ones
// found by the checks included, and running out of precision after 1024 bits is checked
// (std::logic_error), not expected.

namespace trelba::exponential_detail {

namespace {

__extension__ typedef unsigned __int128 Wide;  // GCC's and Clang's on 64-bit targets

constexpr unsigned kLimbBits = 64;
constexpr std::size_t kWidestFractionLimbs = kWidestFractionBits / kLimbBits;
static_assert(kWidestFractionBits <= kExpLn2FractionBits, "ln 2 must be as wide");
constexpr unsigned kErrorBit = 12;  // the error bound, 2^12 units of the last bit
constexpr unsigned kLargestTerm = 170;

// A fixed-point number: `fraction_limbs` limbs of fraction below one limb of integer
// part (limb[fraction_limbs]), least significant first.
struct Fixed {
  std::size_t fraction_limbs = 0;
  std::array<std::uint64_t, kWidestFractionLimbs + 1> limb{};
};

Fixed Zero(std::size_t fraction_limbs) {
  Fixed zero;
  zero.fraction_limbs = fraction_limbs;
  return zero;
}

// 2^(bit - 64 * fraction_limbs): bit 0 is the last fraction bit.
Fixed Bit(std::size_t fraction_limbs, unsigned bit) {
  Fixed power = Zero(fraction_limbs);
  power.limb[bit / kLimbBits] = std::uint64_t{1} << (bit % kLimbBits);
  return power;
}

std::size_t Size(const Fixed& a) {
  return a.fraction_limbs + 1;
}

bool IsZero(const Fixed& a) {
  return std::all_of(a.limb.begin(), a.limb.begin() + static_cast<std::ptrdiff_t>(Size(a)),
                     [](std::uint64_t limb) { return limb == 0; });
}

// -1, 0 or 1 as a <, == or > b.
int Compare(const Fixed& a, const Fixed& b) {
  for (std::size_t j = Size(a); j-- > 0;) {
    if (a.limb[j] != b.limb[j]) return a.limb[j] < b.limb[j] ? -1 : 1;
  }
  return 0;
}

void Add(Fixed& sum, const Fixed& b) {
  Wide carry = 0;
  for (std::size_t j = 0; j < Size(sum); ++j) {
    carry += static_cast<Wide>(sum.limb[j]) + b.limb[j];
    sum.limb[j] = static_cast<std::uint64_t>(carry);
    carry >>= kLimbBits;
  }
}

// a - b for a >= b.
Fixed Subtract(const Fixed& a, const Fixed& b) {
  Fixed difference = Zero(a.fraction_limbs);
  std::uint64_t borrow = 0;
  for (std::size_t j = 0; j < Size(a); ++j) {
    const std::uint64_t part = a.limb[j] - b.limb[j];
    difference.limb[j] = part - borrow;
    borrow = (a.limb[j] < b.limb[j] || part < borrow) ? 1 : 0;
  }
  return difference;
}

// a * b truncated, for a, b < 1.
Fixed MultiplyFractions(const Fixed& a, const Fixed& b) {
  const std::size_t n = a.fraction_limbs;
  std::array<std::uint64_t, 2 * kWidestFractionLimbs> product{};
  for (std::size_t i = 0; i < n; ++i) {
    Wide carry = 0;
    for (std::size_t j = 0; j < n; ++j) {
      carry += static_cast<Wide>(a.limb[i]) * b.limb[j] + product[i + j];
      product[i + j] = static_cast<std::uint64_t>(carry);
      carry >>= kLimbBits;
    }
    product[i + n] = static_cast<std::uint64_t>(carry);
  }
  Fixed result = Zero(n);
  std::copy_n(product.begin() + static_cast<std::ptrdiff_t>(n), n, result.limb.begin());
  return result;
}

// a * factor, exact (for a < 2^64 / factor).
Fixed MultiplySmall(const Fixed& a, std::uint64_t factor) {
  Fixed product = Zero(a.fraction_limbs);
  Wide carry = 0;
  for (std::size_t j = 0; j < Size(a); ++j) {
    carry += static_cast<Wide>(a.limb[j]) * factor;
    product.limb[j] = static_cast<std::uint64_t>(carry);
    carry >>= kLimbBits;
  }
  return product;
}

// a / divisor truncated.
Fixed DivideSmall(const Fixed& a, std::uint64_t divisor) {
  Fixed quotient = Zero(a.fraction_limbs);
  Wide remainder = 0;
  for (std::size_t j = Size(a); j-- > 0;) {
    const Wide part = (remainder << kLimbBits) | a.limb[j];
    quotient.limb[j] = static_cast<std::uint64_t>(part / divisor);
    remainder = part % divisor;
  }
  return quotient;
}

// The bits of a from `low` upwards, a 64-bit window (bits above the number read as 0).
std::uint64_t Window(const Fixed& a, unsigned low) {
  const std::size_t limb = low / kLimbBits;
  const unsigned shift = low % kLimbBits;
  std::uint64_t value = a.limb[limb] >> shift;
  if (shift != 0 && limb + 1 < Size(a)) value |= a.limb[limb + 1] << (kLimbBits - shift);
  return value;
}

// a with its bits from `low` upwards cleared.
Fixed BitsBelow(const Fixed& a, unsigned low) {
  Fixed below = a;
  const std::size_t limb = low / kLimbBits;
  below.limb[limb] &= (std::uint64_t{1} << (low % kLimbBits)) - 1;
  std::fill(below.limb.begin() + static_cast<std::ptrdiff_t>(limb) + 1, below.limb.end(), 0);
  return below;
}

// |x| exactly, for 2^-54 <= |x| < 2^64 and at least 256 fraction bits.
Fixed FromMagnitude(double x, std::size_t fraction_limbs) {
  constexpr unsigned kFractionBits = 52;
  constexpr int kExponentBias = 1023;
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const auto biased = static_cast<int>((bits >> kFractionBits) & 0x7ff);
  const std::uint64_t significand =
      (bits & ((std::uint64_t{1} << kFractionBits) - 1)) | (std::uint64_t{1} << kFractionBits);
  // |x| = significand * 2^(biased - 1023 - 52): its last bit sits this far up.
  const auto low = static_cast<unsigned>(biased - kExponentBias - static_cast<int>(kFractionBits) +
                                         static_cast<int>(fraction_limbs * kLimbBits));
  Fixed magnitude = Zero(fraction_limbs);
  magnitude.limb[low / kLimbBits] = significand << (low % kLimbBits);
  if (low % kLimbBits != 0) {
    magnitude.limb[low / kLimbBits + 1] = significand >> (kLimbBits - low % kLimbBits);
  }
  return magnitude;
}

// ln 2 truncated to the precision.
Fixed Ln2(std::size_t fraction_limbs) {
  Fixed ln2 = Zero(fraction_limbs);
  std::copy(kExpLn2Fixed.end() - static_cast<std::ptrdiff_t>(fraction_limbs), kExpLn2Fixed.end(),
            ln2.limb.begin());
  return ln2;
}

struct Reduced {
  int exponent;  // M
  Fixed rest;    // r = x - M ln2, in [0, ln2)
};

Reduced Reduce(double x, std::size_t fraction_limbs) {
  const Fixed magnitude = FromMagnitude(x, fraction_limbs);
  const Fixed ln2 = Ln2(fraction_limbs);
  // floor(x / ln2), or one off: corrected below.
  const double quotient = x * (kExpStepsPerUnit / static_cast<double>(kExpTableSize));
  int exponent = static_cast<int>(quotient);
  if (exponent > quotient) --exponent;
  for (;;) {
    // r = x - M ln2 = positive - negative.
    Fixed positive = x > 0.0 ? magnitude : Zero(fraction_limbs);
    Fixed negative = x > 0.0 ? Zero(fraction_limbs) : magnitude;
    const auto factor = static_cast<std::uint64_t>(exponent < 0 ? -exponent : exponent);
    Add(exponent < 0 ? positive : negative, MultiplySmall(ln2, factor));
    if (Compare(positive, negative) < 0) {
      --exponent;
      continue;
    }
    const Fixed rest = Subtract(positive, negative);
    if (Compare(rest, ln2) >= 0) {
      ++exponent;
      continue;
    }
    return {exponent, rest};
  }
}

// e^r for 0 <= r < ln2: in [1, 2).
Fixed ExpOfRest(const Fixed& r) {
  Fixed sum = r;
  ++sum.limb[r.fraction_limbs];  // 1 + r
  Fixed term = r;
  for (unsigned n = 2;; ++n) {
    term = DivideSmall(MultiplyFractions(term, r), n);
    if (IsZero(term)) return sum;
    // r^n / n! < 2^-F by n = 160 at F = 1024 (checked, not assumed).
    if (n > kLargestTerm) throw std::logic_error("the exponential's series is too short");
    Add(sum, term);
  }
}

// 2^e for -1074 <= e <= 1023 (subnormal powers included), from its bits.
double PowerOfTwo(int e) {
  constexpr int kLowestNormal = -1022;
  constexpr int kLowestSubnormal = -1074;
  constexpr int kExponentBias = 1023;
  constexpr unsigned kFractionBits = 52;
  if (e < kLowestNormal) {
    return std::bit_cast<double>(std::uint64_t{1} << static_cast<unsigned>(e - kLowestSubnormal));
  }
  return std::bit_cast<double>(static_cast<std::uint64_t>(e + kExponentBias) << kFractionBits);
}

// 2^M R rounded to nearest, R in [1, 2) within 2^kErrorBit units; nothing when that error
// leaves the rounding open.
std::optional<double> Round(const Fixed& power, int exponent) {
  // Fraction bits kept: 52 for a normal result, M + 1074 for a subnormal one (down to -1,
  // where 2^M R lies between 2^-1075 and 2^-1074).
  constexpr int kFractionBits = 52;
  constexpr int kLowestSubnormal = -1074;
  const int kept = std::min(kFractionBits, exponent - kLowestSubnormal);
  const auto low = static_cast<unsigned>(static_cast<int>(power.fraction_limbs * kLimbBits) - kept);
  const Fixed remainder = BitsBelow(power, low);
  const Fixed half = Bit(power.fraction_limbs, low - 1);
  const bool up = Compare(remainder, half) >= 0;
  const Fixed distance = up ? Subtract(remainder, half) : Subtract(half, remainder);
  if (Compare(distance, Bit(power.fraction_limbs, kErrorBit)) <= 0) return std::nullopt;
  const std::uint64_t significand = Window(power, low) + (up ? 1 : 0);
  return static_cast<double>(significand) * PowerOfTwo(exponent - kept);
}

}  // namespace

std::optional<double> ExactExponentialAt(double x, unsigned fraction_bits) {
  const Reduced reduced = Reduce(x, fraction_bits / kLimbBits);
  return Round(ExpOfRest(reduced.rest), reduced.exponent);
}

double ExactExponential(double x) {
  for (unsigned bits = kNarrowestFractionBits; bits <= kWidestFractionBits; bits *= 2) {
    if (const auto result = ExactExponentialAt(x, bits)) return *result;
  }
  throw std::logic_error("no rounding of e^x was decided");  // never: see above
}

}  // namespace trelba::exponential_detail
