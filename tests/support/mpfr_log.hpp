// The reference for NaturalLog: MPFR's log at 53 bits, rounded to nearest.
#pragma once

namespace trelba::testing_support {

// ln x correctly rounded to nearest, by MPFR (for any double x, specials as IEEE log).
double MpfrNaturalLog(double x);

}  // namespace trelba::testing_support
