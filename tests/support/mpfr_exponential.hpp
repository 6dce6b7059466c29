// The reference for Exponential: MPFR's exp rounded to nearest as a double would be.
#pragma once

namespace trelba::testing_support {

// e^x correctly rounded to nearest, by MPFR, subnormal results included (for any double
// x, specials as IEEE exp).
double MpfrExponential(double x);

}  // namespace trelba::testing_support
