// Every report value must be the same IEEE double on every machine. Two things would make
// it depend on the compiler or the processor, and both are refused here:
// - evaluating double expressions in a wider format (the x87 unit of 32-bit x86 builds,
//   or -mfpmath=387): each intermediate result would be rounded twice, or not at all;
// - contracting a * b + c into one fused multiply-add, which skips a rounding. The build
//   passes -ffp-contract=off to GCC and clang; clang also honours the pragma below.
#pragma once

#include <cfloat>

#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error \
    "doubles would be evaluated in extended precision (FLT_EVAL_METHOD != 0): build with SSE2 arithmetic, e.g. -msse2 -mfpmath=sse"
#endif

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif
