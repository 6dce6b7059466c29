// The exact path of NaturalLog: ln x to 256 fraction bits in integer arithmetic, for the
// arguments whose rounding the fast path cannot decide (about one in ten thousand).
#pragma once

#include "analysis/natural_log_argument.hpp"

namespace trelba::natural_log_detail {

// ln(2^k * m) rounded to nearest, for an argument split by SplitLogArgument.
double ExactNaturalLog(const LogArgument& argument);

}  // namespace trelba::natural_log_detail
