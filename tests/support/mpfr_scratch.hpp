// The MPFR number the reference functions work in: one of 53 bits per thread, set up on
// first use. At the thread's end it goes, and so do the constants (ln 2) MPFR cached for
// the thread, which would otherwise leak.
#pragma once

#include <mpfr.h>

namespace trelba::testing_support {

struct MpfrScratch {
  mpfr_t value;
  MpfrScratch() { mpfr_init2(value, 53); }
  ~MpfrScratch() {
    mpfr_clear(value);
    mpfr_free_cache();
  }
  MpfrScratch(const MpfrScratch&) = delete;
  MpfrScratch& operator=(const MpfrScratch&) = delete;
};

// This thread's number.
inline mpfr_ptr ThreadMpfrScratch() {
  thread_local MpfrScratch scratch;
  return scratch.value;
}

}  // namespace trelba::testing_support
