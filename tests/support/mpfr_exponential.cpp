#include "mpfr_exponential.hpp"

#include <mpfr.h>

#include "mpfr_scratch.hpp"

namespace trelba::testing_support {

double MpfrExponential(double x) {
  const mpfr_ptr value = ThreadMpfrScratch();
  // The double's exponent range (MPFR's significands lie in [1/2, 1)), so that the result
  // overflows and underflows as a double and a subnormal one is rounded once, to its own
  // bits, by mpfr_subnormalize; the thread's range is restored after.
  constexpr mpfr_exp_t kDoubleEmin = -1073;
  constexpr mpfr_exp_t kDoubleEmax = 1024;
  const mpfr_exp_t emin = mpfr_get_emin();
  const mpfr_exp_t emax = mpfr_get_emax();
  mpfr_set_emin(kDoubleEmin);
  mpfr_set_emax(kDoubleEmax);
  mpfr_set_d(value, x, MPFR_RNDN);  // exact: 53 bits hold every double
  const int ternary = mpfr_exp(value, value, MPFR_RNDN);
  mpfr_subnormalize(value, ternary, MPFR_RNDN);
  const double result = mpfr_get_d(value, MPFR_RNDN);  // exact: a double's bits
  mpfr_set_emin(emin);
  mpfr_set_emax(emax);
  return result;
}

}  // namespace trelba::testing_support
