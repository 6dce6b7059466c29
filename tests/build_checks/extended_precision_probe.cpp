// Compiled by the test `extended_precision_build_is_refused` with x87 arithmetic, which
// must stop the build at the header's check.
#include "trelba/codons_and_families.hpp"

int main() {
  return trelba::kFamilyCount;
}
