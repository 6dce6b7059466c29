#include "reports/number_format.hpp"

#include <charconv>
#include <cstring>

namespace trelba {

char* FormatDouble(char* out, double value) {
  return std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, 6).ptr;
}

char* FormatCount(char* out, std::uint64_t count) {
  // Below a million a count has at most 6 digits and "%g" writes it exactly as an integer.
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
