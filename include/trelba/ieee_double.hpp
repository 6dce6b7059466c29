// Every report value must be the same IEEE double on every machine. Two things would make
// it depend on the compiler or the processor, and both are refused here:
// - evaluating double expressions in a wider format (the x87 unit of 32-bit x86 builds,
//   or -mfpmath=387): each intermediate result would be rounded twice, or not at all;
// - contracting a * b + c into one fused multiply-add, which skips a rounding. The build
//   passes -ffp-contract=off to GCC and clang; clang also honours the pragma below.
#pragma once

#include <cfenv>
#include <cfloat>

#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error \
    "doubles would be evaluated in extended precision (FLT_EVAL_METHOD != 0): build with SSE2 arithmetic, e.g. -msse2 -mfpmath=sse"
#endif

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

namespace trelba {

// Every number is exact only when doubles round to nearest, ties to even, as they do
// unless a program changes it (fesetround) before it calls the library: its entry points
// check, as fast_float does before its fast path.
inline bool RoundsToNearest() {
  return std::fegetround() == FE_TONEAREST;
}

// What the entry points say when it is not so.
inline constexpr const char* kRoundingModeProblem =
    "the floating-point rounding mode is not round-to-nearest, so no number would be the "
    "exact one: it was changed before this program was called";

}  // namespace trelba
