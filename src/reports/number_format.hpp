// Numbers as the reports spell them.
#pragma once

#include <cstdint>

namespace trelba {

// Longest text any of the functions below writes.
inline constexpr int kMaxNumberText = 32;

// General format with 6 significant digits, as printf's "%g": 1, 0, -0.442695, 0.123457,
// 1.234e-05, 1.23457e+06.
char* FormatDouble(char* out, double value);

// A codon count, spelt as FormatDouble spells the same number as a double (so counts of a
// million or more switch to exponent notation).
char* FormatCount(char* out, std::uint64_t count);

// The sequence label: the sequence number zero-padded to at least 7 digits.
char* FormatSequenceLabel(char* out, std::uint64_t number);

}  // namespace trelba
