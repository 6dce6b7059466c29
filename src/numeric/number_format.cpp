#include "numeric/number_format.hpp"

#include <bit>
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

// "00" to "99": two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The two characters of `pair` (0 to 99) as the low 16 bits of a word whose byte i is the
// i-th character (see Store8).
std::uint64_t Pair(unsigned pair) {
  const auto* const text = reinterpret_cast<const unsigned char*>(kDigitPairs + 2 * pair);
  return text[0] | static_cast<std::uint64_t>(text[1]) << 8;
}

// Writes the eight bytes of `bytes` to `out`, byte i (bits 8i to 8i+7) to out[i]: one
// store where the machine keeps words in that order. The digits are kept in a word rather
// than in a small array, so that copying them never waits on separate narrow stores.
void Store8(char* out, std::uint64_t bytes) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, &bytes, sizeof bytes);
  } else {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(bytes >> (8 * i) & 0xFF);
  }
}

// "0." and as many zeros as a number below 1 down to 1e-4 needs before its digits: 8 bytes.
constexpr std::uint64_t kLeadingZeros = 0x3030303030302e30;  // "0.000000" read as Store8 writes

// The six digits of `digits` (100000 to 999999), rounded already, laid out as "%g" does
// for decimal exponent `exponent`: trailing zeros of the fraction and a bare point dropped.
// Whole eight-byte groups are written (callers give kMaxNumberText bytes of room), the
// end pointer then moved by the number of characters that count.
char* Layout(char* out, unsigned digits, int exponent) {
  const unsigned high = digits / 10000;
  const unsigned middle = digits / 100 % 100;
  const unsigned low = digits % 100;
  const std::uint64_t d = Pair(high) | Pair(middle) << 16 | Pair(low) << 32;  // six digits
  // Digits up to the last non-zero one: the highest byte of d that is not '0' (the first
  // digit never is).
  constexpr std::uint64_t kSixZeros = 0x303030303030;
  const auto significant = static_cast<int>((std::bit_width(d ^ kSixZeros) + 7) / 8);

  if (exponent < 0 && exponent >= -4) {
    const auto zeros = static_cast<std::size_t>(1 - exponent);  // "0." and -exponent-1 zeros
    Store8(out, kLeadingZeros);
    out += zeros;
    Store8(out, d);
    return out + significant;
  }
  if (exponent >= 0 && exponent < kDigits) {
    const int whole = exponent + 1;
    Store8(out, d);
    if (significant <= whole) return out + whole;
    out[whole] = '.';
    Store8(out + whole + 1, d >> (8 * whole));
    return out + significant + 1;
  }
  out[0] = static_cast<char>(d & 0xFF);
  out[1] = '.';
  Store8(out + 2, d >> 8);
  out += significant > 1 ? significant + 1 : 1;
  *out++ = 'e';
  *out++ = exponent < 0 ? '-' : '+';
  const auto e = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
  if (e >= 100) *out++ = static_cast<char>('0' + e / 100);
  std::memcpy(out, kDigitPairs + 2 * (e % 100), 2);
  return out + 2;
}

}  // namespace

// "%g" rounds the exact binary value to six significant digits. Scaling by an exact power
// of ten costs at most half an ulp, far less than the distance to a rounding boundary
// except in rare near-ties, which (like zero, infinities, NaN and extreme exponents) go to
// the standard library's exact conversion.
char* FormatDouble(char* out, double value) {
  if (value == 0.0) {  // every stop and one-codon family's order value
    if (std::signbit(value)) *out++ = '-';
    *out = '0';
    return out + 1;
  }
  if (value == 1.0) {  // a family that uses one of its codons only
    *out = '1';
    return out + 1;
  }
  if (!std::isfinite(value)) return SlowFormat(out, value);
  const double magnitude = std::fabs(value);
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int binary_exponent = static_cast<int>(bits >> 52) - 1023;  // floor(log2), normal numbers
  // floor(log10(magnitude)) or one below it: floor(binary_exponent * log10(2)) in integer
  // arithmetic (78913 / 2^18 is log10(2) to six digits; the shift floors negatives too).
  // An estimate one off for some rare exponent only sends that number to the exact
  // conversion below, never changes what is written.
  int exponent = (binary_exponent * 78913) >> 18;
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
  if (number < 10000000) {  // the seven digits: one, then three pairs
    const auto n = static_cast<unsigned>(number);
    out[0] = static_cast<char>('0' + n / 1000000);
    std::memcpy(out + 1, kDigitPairs + 2 * (n / 10000 % 100), 2);
    std::memcpy(out + 3, kDigitPairs + 2 * (n / 100 % 100), 2);
    std::memcpy(out + 5, kDigitPairs + 2 * (n % 100), 2);
    return out + kLabelDigits;
  }
  char digits[kMaxNumberText];
  char* const end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  const auto length = static_cast<int>(end - digits);
  for (int i = length; i < kLabelDigits; ++i) *out++ = '0';
  std::memcpy(out, digits, static_cast<std::size_t>(length));
  return out + length;
}

}  // namespace trelba
