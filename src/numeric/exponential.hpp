// The exponential, correctly rounded: the same bits on every IEEE-754 platform, whatever
// its maths library. The companion of NaturalLog (a geometric mean is e^(mean of ln w)).
#pragma once

namespace trelba {

// e^x rounded to the nearest double (ties to even), for every double: +inf above the
// overflow threshold (709.78...), 0 below the underflow one (-745.13...), subnormal
// results rounded as such, e^(+-0) = 1, e^(-inf) = 0, e^(+inf) = +inf, NaN for NaN. Uses
// only +, -, *, / on doubles and integer operations, so no maths library or fused
// multiply-add is involved; needs double arithmetic without extended precision
// (FLT_EVAL_METHOD 0) and no contraction of a * b + c.
double Exponential(double x);

}  // namespace trelba
