#include "mpfr_log.hpp"

#include <mpfr.h>

#include "mpfr_scratch.hpp"

namespace trelba::testing_support {

double MpfrNaturalLog(double x) {
  const mpfr_ptr value = ThreadMpfrScratch();
  mpfr_set_d(value, x, MPFR_RNDN);  // exact: 53 bits hold every double
  mpfr_log(value, value, MPFR_RNDN);
  return mpfr_get_d(value, MPFR_RNDN);  // exact: the result has 53 bits
}

}  // namespace trelba::testing_support
