#include "mpfr_log.hpp"

#include <mpfr.h>

namespace trelba::testing_support {

namespace {

// One 53-bit MPFR number per thread, set up on first use. At the thread's end it goes,
// and so do the constants (ln 2) MPFR cached for the thread, which would otherwise leak.
struct Scratch {
  mpfr_t value;
  Scratch() { mpfr_init2(value, 53); }
  ~Scratch() {
    mpfr_clear(value);
    mpfr_free_cache();
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
};

}  // namespace

double MpfrNaturalLog(double x) {
  thread_local Scratch scratch;
  mpfr_set_d(scratch.value, x, MPFR_RNDN);  // exact: 53 bits hold every double
  mpfr_log(scratch.value, scratch.value, MPFR_RNDN);
  return mpfr_get_d(scratch.value, MPFR_RNDN);  // exact: the result has 53 bits
}

}  // namespace trelba::testing_support
