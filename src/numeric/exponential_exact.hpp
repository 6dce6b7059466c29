// The exact path of Exponential: e^x in integer fixed-point arithmetic, for the arguments
// whose rounding the fast path cannot decide (about one in 2^21) and for results below
// 2^-1021 (subnormals and their neighbours).
#pragma once

#include <optional>

namespace trelba::exponential_detail {

// The precisions the exact path tries in turn, in fraction bits.
inline constexpr unsigned kNarrowestFractionBits = 256;
inline constexpr unsigned kWidestFractionBits = 1024;

// e^x rounded to nearest, subnormal results included, for 2^-54 <= |x| and x between
// kExpUnderflowThreshold and kExpOverflowThreshold.
double ExactExponential(double x);

// The same at one precision (256, 512 or 1024 fraction bits); nothing when its error
// leaves the rounding open.
std::optional<double> ExactExponentialAt(double x, unsigned fraction_bits);

}  // namespace trelba::exponential_detail
