#include "numeric/natural_log_exact.hpp"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "numeric/natural_log_tables.hpp"

// ln x = k ln2 - ln r + log1p(z) again, now in fixed point with 256 fraction bits: z =
// m r - 1 is formed exactly from integers, log1p(z) = z - z^2/2 + z^3/3 - ... is summed
// until the powers of z (|z| < 2^-8) vanish, at most 31 terms, each power times a
// tabulated 1/n, and positive and negative terms are kept apart so that only one
// subtraction of magnitudes is needed.
//
// Error: every power and term is truncated (2^-256 each, and the error of a power shrinks
// with each further factor z; 1/n is rounded to 2^-257), below 2^-249 over the series; ln 2 and -ln
// r are rounded to 2^-257, k ln 2 multiplies that by |k| <= 1075: in all below 2^-244, 2^12 units
// of the last bit. As |ln x| >= 2^-54 for every double x != 1, the rounding bit is worth 2^149
// units or more. No ln x is a midpoint (it is transcendental for x != 1), and the hardest doubles
// for log, found by Lefevre and Muller's exhaustive search, have at most 64 equal bits after the
// rounding bit: ln x lies at least 2^-66 rounding-bit units (2^83 units) from every midpoint, so
// the computed sum rounds as ln x does.

namespace trelba::natural_log_detail {

namespace {

__extension__ typedef unsigned __int128 Wide;  // GCC's and Clang's on 64-bit targets

constexpr std::size_t kLimbs = 5;  // limbs 0 to 3 the fraction, limb 4 the integer part
using Fixed = std::array<std::uint64_t, kLimbs>;
constexpr unsigned kLimbBits = 64;
constexpr unsigned kFixedFractionBits = 256;

Fixed FromFraction(const LogFixedFraction& fraction) {
  return {fraction[0], fraction[1], fraction[2], fraction[3], 0};
}

bool IsZero(const Fixed& a) {
  for (const std::uint64_t limb : a) {
    if (limb != 0) return false;
  }
  return true;
}

bool Less(const Fixed& a, const Fixed& b) {
  for (std::size_t j = kLimbs; j-- > 0;) {
    if (a[j] != b[j]) return a[j] < b[j];
  }
  return false;
}

void Add(Fixed& sum, const Fixed& b) {
  Wide carry = 0;
  for (std::size_t j = 0; j < kLimbs; ++j) {
    carry += static_cast<Wide>(sum[j]) + b[j];
    sum[j] = static_cast<std::uint64_t>(carry);
    carry >>= kLimbBits;
  }
}

// a - b for a >= b.
Fixed Subtract(const Fixed& a, const Fixed& b) {
  Fixed difference{};
  std::uint64_t borrow = 0;
  for (std::size_t j = 0; j < kLimbs; ++j) {
    const std::uint64_t part = a[j] - b[j];
    difference[j] = part - borrow;
    borrow = (a[j] < b[j] || part < borrow) ? 1 : 0;
  }
  return difference;
}

// a * b truncated to 256 fraction bits, for a, b < 1.
Fixed MultiplyFractions(const Fixed& a, const Fixed& b) {
  constexpr std::size_t kFractionLimbs = kLimbs - 1;
  std::array<std::uint64_t, 2 * kFractionLimbs> product{};
  for (std::size_t i = 0; i < kFractionLimbs; ++i) {
    Wide carry = 0;
    for (std::size_t j = 0; j < kFractionLimbs; ++j) {
      carry += static_cast<Wide>(a[i]) * b[j] + product[i + j];
      product[i + j] = static_cast<std::uint64_t>(carry);
      carry >>= kLimbBits;
    }
    product[i + kFractionLimbs] = static_cast<std::uint64_t>(carry);
  }
  return {product[4], product[5], product[6], product[7], 0};
}

// a * n, exact (no overflow for a < 1 and n < 2^64).
Fixed MultiplySmall(const Fixed& a, std::uint64_t n) {
  Fixed product{};
  Wide carry = 0;
  for (std::size_t j = 0; j < kLimbs; ++j) {
    carry += static_cast<Wide>(a[j]) * n;
    product[j] = static_cast<std::uint64_t>(carry);
    carry >>= kLimbBits;
  }
  return product;
}

// The bits of a from `low` upwards, a 64-bit window (bits above the number read as 0).
std::uint64_t Window(const Fixed& a, unsigned low) {
  const std::size_t limb = low / kLimbBits;
  const unsigned shift = low % kLimbBits;
  std::uint64_t value = a[limb] >> shift;
  if (shift != 0 && limb + 1 < kLimbs) value |= a[limb + 1] << (kLimbBits - shift);
  return value;
}

// A magnitude below 2^10 and at least 2^-55, rounded to nearest.
double RoundToDouble(const Fixed& magnitude) {
  std::size_t top_limb = kLimbs - 1;
  while (magnitude[top_limb] == 0) --top_limb;
  const auto top =
      static_cast<unsigned>(top_limb * kLimbBits + kLimbBits - 1 -
                            static_cast<unsigned>(std::countl_zero(magnitude[top_limb])));
  // Bits top .. top-52 are the significand, top-53 the rounding bit (the error is far
  // smaller than the distance of ln x from a midpoint, see above).
  constexpr unsigned kSignificandBits = 53;
  const unsigned round_bit = top - kSignificandBits;
  const std::uint64_t significand =
      Window(magnitude, round_bit + 1) & ((std::uint64_t{1} << kSignificandBits) - 1);
  const std::uint64_t round = (magnitude[round_bit / kLimbBits] >> (round_bit % kLimbBits)) & 1;
  // 2^(top - 52 - 256): from 2^-107 to 2^-43, a normal double built from its bits.
  const int scale =
      static_cast<int>(top) - static_cast<int>(kSignificandBits - 1 + kFixedFractionBits);
  const double power = std::bit_cast<double>(static_cast<std::uint64_t>(scale + 1023) << 52);
  return static_cast<double>(significand + round) * power;
}

}  // namespace

double ExactNaturalLog(const LogArgument& argument) {
  const LogReduction& entry = kLogReductions[argument.index];
  // m = M 2^-53 and r = R 2^-9 exactly, so z 2^62 = M R - 2^62, below 2^54 in magnitude.
  constexpr unsigned kMantissaFractionBits = 53;
  constexpr unsigned kZScaleBits = kMantissaFractionBits + kLogReciprocalFractionBits;
  static_assert(kZScaleBits - 8 <= 64, "|z| < 2^-8 must fit 64 bits at this scale");
  const auto m_units = static_cast<std::uint64_t>(
      argument.mantissa * static_cast<double>(std::uint64_t{1} << kMantissaFractionBits));
  const auto r_units = static_cast<std::uint64_t>(
      entry.reciprocal * static_cast<double>(std::uint64_t{1} << kLogReciprocalFractionBits));
  const Wide product = static_cast<Wide>(m_units) * r_units;
  const Wide one = Wide{1} << kZScaleBits;
  const bool z_negative = product < one;
  const auto z_units = static_cast<std::uint64_t>(z_negative ? one - product : product - one);
  // |z| 2^256 = z_units 2^(256 - kZScaleBits), placed across two limbs.
  constexpr unsigned kZShift = kFixedFractionBits - kZScaleBits;
  Fixed z{};
  static_assert(kZShift % kLimbBits != 0);
  z[kZShift / kLimbBits] = z_units << (kZShift % kLimbBits);
  z[kZShift / kLimbBits + 1] = z_units >> (kLimbBits - kZShift % kLimbBits);

  Fixed positive{};
  Fixed negative{};
  // The term z^n / n has the sign (-1)^(n+1) sign(z)^n.
  Add(z_negative ? negative : positive, z);
  Fixed power = MultiplyFractions(z, z);
  for (unsigned n = 2; !IsZero(power); ++n) {
    // |z|^n < 2^(-8n) is zero at 256 fraction bits by n = 32 (checked, not assumed).
    if (n > kLogExactSeriesTerms) throw std::logic_error("the logarithm's series is too short");
    Add(z_negative || n % 2 == 0 ? negative : positive,
        MultiplyFractions(power, FromFraction(kLogFixedInverses[n - 2])));
    power = MultiplyFractions(power, z);
  }
  Add(entry.reciprocal < 1.0 ? positive : negative,
      FromFraction(kLogFixedReductions[argument.index]));
  const std::uint64_t k_magnitude =
      static_cast<std::uint64_t>(argument.exponent < 0 ? -argument.exponent : argument.exponent);
  Add(argument.exponent < 0 ? negative : positive,
      MultiplySmall(FromFraction(kLn2Fixed), k_magnitude));

  if (Less(positive, negative)) return -RoundToDouble(Subtract(negative, positive));
  if (Less(negative, positive)) return RoundToDouble(Subtract(positive, negative));
  return 0.0;  // x == 1
}

}  // namespace trelba::natural_log_detail
