// The exact path of NaturalLog: ln x to 256 fraction bits in integer arithmetic, for the
// arguments whose rounding the fast path cannot decide (rare: none of the 9 million count
// fractions a/b and b/a up to 3000, 3 of 10 million doubles over (0, 8]; more among
// 1 + d for |d| < 2^-48).
#pragma once

#include "numeric/natural_log_argument.hpp"

namespace trelba::natural_log_detail {

// ln(2^k * m) rounded to nearest, for an argument split by SplitLogArgument.
double ExactNaturalLog(const LogArgument& argument);

}  // namespace trelba::natural_log_detail
