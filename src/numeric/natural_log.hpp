// The natural logarithm, correctly rounded: the same bits on every IEEE-754 platform,
// whatever its maths library.
#pragma once

namespace trelba {

// ln x rounded to the nearest double, for every positive double (subnormals included).
// As IEEE log: -inf for +-0, NaN for negative x and NaN, +inf for +inf. Uses only +, -,
// *, / on doubles and integer operations, so no maths library or fused multiply-add is
// involved; needs double arithmetic without extended precision (FLT_EVAL_METHOD 0) and
// no contraction of a * b + c.
double NaturalLog(double x);

}  // namespace trelba
