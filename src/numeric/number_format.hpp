// Numbers as the reports spell them.
#pragma once

#include <cstdint>

#include "trelba/ieee_double.hpp"

namespace trelba {

// Longest text any of the functions below writes.
inline constexpr int kMaxNumberText = 32;

// General format with 6 significant digits, as printf's "%g": 1, 0, -0.442695, 0.123457,
// 1.234e-05, 1.23457e+06.
char* FormatDouble(char* out, double value);

char* FormatLargeCount(char* out, std::uint64_t count);

// A codon count, spelt as FormatDouble spells the same number as a double (so counts of a
// million or more switch to exponent notation; below that "%g" writes the integer).
inline char* FormatCount(char* out, std::uint64_t count) {
  if (count < 10) {
    *out = static_cast<char>('0' + count);
    return out + 1;
  }
  if (count < 100) {
    out[0] = static_cast<char>('0' + count / 10);
    out[1] = static_cast<char>('0' + count % 10);
    return out + 2;
  }
  return FormatLargeCount(out, count);
}

// The sequence label: the sequence number zero-padded to at least 7 digits.
char* FormatSequenceLabel(char* out, std::uint64_t number);

}  // namespace trelba
