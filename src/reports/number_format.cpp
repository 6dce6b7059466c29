#include "reports/number_format.hpp"

#include <charconv>
#include <cmath>
#include <cstring>

namespace trelba {
namespace {

constexpr int kDigits = 6;  // significant digits of "%g"

// Exact powers of ten as doubles (10^22 is the largest that a double holds exactly).
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;

char* SlowFormat(char* out, double value) {
  return std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, kDigits).ptr;
}

// magnitude * 10^(5 - exponent), with one correctly rounded operation.
double ScaleToSixDigits(double magnitude, int exponent) {
  const int shift = kDigits - 1 - exponent;
  return shift >= 0 ? magnitude * kPowersOfTen[shift] : magnitude / kPowersOfTen[-shift];
}

// The six digits of `digits` (100000 to 999999), rounded already, laid out as "%g" does
// for decimal exponent `exponent`: trailing zeros of the fraction and a bare point dropped.
char* Layout(char* out, unsigned digits, int exponent) {
  char d[kDigits];
  for (int i = kDigits - 1; i >= 0; --i) {
    d[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  int significant = kDigits;
  while (significant > 1 && d[significant - 1] == '0') --significant;

  if (exponent >= -4 && exponent < kDigits) {
    int next = 0;
    if (exponent >= 0) {
      while (next <= exponent) *out++ = d[next++];
    } else {
      *out++ = '0';
      *out++ = '.';
      for (int i = -1; i > exponent; --i) *out++ = '0';
    }
    if (next < significant && exponent >= 0) *out++ = '.';
    while (next < significant) *out++ = d[next++];
    return out;
  }
  *out++ = d[0];
  if (significant > 1) *out++ = '.';
  for (int i = 1; i < significant; ++i) *out++ = d[i];
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  const int e = exponent < 0 ? -exponent : exponent;
  if (e >= 100) *out++ = static_cast<char>('0' + e / 100);
  *out++ = static_cast<char>('0' + e / 10 % 10);
  *out++ = static_cast<char>('0' + e % 10);
  return out;
}

}  // namespace

// "%g" rounds the exact binary value to six significant digits. Scaling by an exact power
// of ten costs at most half an ulp, far less than the distance to a rounding boundary
// except in rare near-ties, which (like zero, infinities, NaN and extreme exponents) go to
// the standard library's exact conversion.
char* FormatDouble(char* out, double value) {
  if (!std::isfinite(value) || value == 0.0) return SlowFormat(out, value);
  const double magnitude = std::fabs(value);
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int binary_exponent = static_cast<int>(bits >> 52) - 1023;  // floor(log2), normal numbers
  // floor(log10(magnitude)) or one below it (floor of a product, also for negatives).
  const double estimate = binary_exponent * 0.30102999566398120;
  int exponent = static_cast<int>(estimate);
  if (exponent > estimate) --exponent;
  if (exponent < kDigits - 1 - kMaxExactPower || exponent > kDigits - 1 + kMaxExactPower - 1) {
    return SlowFormat(out, value);
  }
  double scaled = ScaleToSixDigits(magnitude, exponent);
  if (scaled >= 1e6) scaled = ScaleToSixDigits(magnitude, ++exponent);
  if (scaled < 1e5 || scaled >= 1e6) return SlowFormat(out, value);

  const double whole = static_cast<double>(static_cast<unsigned>(scaled));
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) < 1e-6) return SlowFormat(out, value);
  auto digits = static_cast<unsigned>(whole) + (fraction > 0.5 ? 1u : 0u);
  if (digits == 1000000) {
    digits = 100000;
    ++exponent;
  }
  if (value < 0) *out++ = '-';
  return Layout(out, digits, exponent);
}

char* FormatLargeCount(char* out, std::uint64_t count) {
  if (count < 1000000) return std::to_chars(out, out + kMaxNumberText, count).ptr;
  return FormatDouble(out, static_cast<double>(count));
}

char* FormatSequenceLabel(char* out, std::uint64_t number) {
  constexpr int kLabelDigits = 7;
  char digits[kMaxNumberText];
  char* const end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  const auto length = static_cast<int>(end - digits);
  for (int i = length; i < kLabelDigits; ++i) *out++ = '0';
  std::memcpy(out, digits, static_cast<std::size_t>(length));
  return out + length;
}

}  // namespace trelba
