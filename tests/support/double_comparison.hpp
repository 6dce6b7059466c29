// Comparing a correctly rounded function's doubles with MPFR's, bit for bit: what the
// unit tests and the check tools of NaturalLog and Exponential share.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>

namespace trelba::testing_support {

inline std::uint64_t Bits(double value) {
  return std::bit_cast<std::uint64_t>(value);
}

// %a: every bit of the value.
inline std::string Hex(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

// "Bits" and the value's 16 hexadecimal digits: a name for a test of that argument.
inline std::string BitsName(double value) {
  char name[32];
  std::snprintf(name, sizeof name, "Bits%016llx", static_cast<unsigned long long>(Bits(value)));
  return name;
}

// Comparisons made and mismatches found.
struct Tally {
  std::uint64_t checked = 0;
  std::uint64_t mismatches = 0;

  // Counts the comparison of `actual` with `expected`; true for a mismatch among the
  // first `shown`, which the caller then describes.
  bool Mismatch(double actual, double expected, std::uint64_t shown) {
    ++checked;
    return Bits(actual) != Bits(expected) && ++mismatches <= shown;
  }
};

// An argument whose result is known; NaN stands for any NaN.
struct SpecialCase {
  const char* name;
  double x;
  double expected;
};

inline void PrintTo(const SpecialCase& c, std::ostream* out) {
  *out << c.name;
}

}  // namespace trelba::testing_support
