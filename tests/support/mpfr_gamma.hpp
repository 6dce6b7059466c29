// The references for the gamma tails: MPFR's incomplete gamma and log-gamma at 200 bits,
// rounded to a double.
#pragma once

namespace trelba::testing_support {

// Gamma(a, x) / Gamma(a) for a > 0, x >= 0.
double MpfrUpperGammaRegularized(double a, double x);
// ln Gamma(a) for a > 0.
double MpfrLogGamma(double a);

}  // namespace trelba::testing_support
