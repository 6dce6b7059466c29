#include "mpfr_gamma.hpp"

#include <mpfr.h>

namespace trelba::testing_support {

double MpfrUpperGammaRegularized(double a, double x) {
  mpfr_t ma, mx, upper, whole;
  mpfr_inits2(200, ma, mx, upper, whole, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_d(ma, a, MPFR_RNDN);
  mpfr_set_d(mx, x, MPFR_RNDN);
  mpfr_gamma_inc(upper, ma, mx, MPFR_RNDN);
  mpfr_gamma(whole, ma, MPFR_RNDN);
  mpfr_div(upper, upper, whole, MPFR_RNDN);
  const double result = mpfr_get_d(upper, MPFR_RNDN);
  mpfr_clears(ma, mx, upper, whole, static_cast<mpfr_ptr>(nullptr));
  return result;
}

double MpfrLogGamma(double a) {
  mpfr_t value;
  mpfr_init2(value, 200);
  mpfr_set_d(value, a, MPFR_RNDN);
  mpfr_lngamma(value, value, MPFR_RNDN);
  const double result = mpfr_get_d(value, MPFR_RNDN);
  mpfr_clear(value);
  return result;
}

}  // namespace trelba::testing_support
