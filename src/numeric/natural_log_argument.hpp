// How NaturalLog splits its argument: x = 2^k * m with m in [0.6875, 1.375), and the
// table entry whose interval holds m. Shared by the fast path and the exact one.
#pragma once

#include <bit>
#include <cstdint>

#include "numeric/natural_log_tables.hpp"

namespace trelba::natural_log_detail {

struct LogArgument {
  int exponent;     // k
  unsigned index;   // the entry of kLogReductions whose interval holds m
  double mantissa;  // m, exactly x * 2^-k
};

// For the bits of a positive normal double; `exponent_bias` is added to k (-52 for a
// subnormal that was scaled by 2^52 first).
inline LogArgument SplitLogArgument(std::uint64_t bits, int exponent_bias) {
  constexpr unsigned kFractionBits = 52;
  constexpr std::uint64_t kExponentField = ~std::uint64_t{0} << kFractionBits;
  const std::uint64_t shifted = bits - kLogReductionOffset;
  const auto exponent = static_cast<int>(static_cast<std::int64_t>(shifted) >> kFractionBits);
  const auto index =
      static_cast<unsigned>((shifted >> (kFractionBits - kLogIndexBits)) & (kLogTableSize - 1));
  return {exponent + exponent_bias, index,
          std::bit_cast<double>(bits - (shifted & kExponentField))};
}

}  // namespace trelba::natural_log_detail
