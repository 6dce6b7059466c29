#include "input/text_encoding.hpp"

#include <algorithm>
#include <cstring>

namespace trelba {
namespace {

bool StartsWith(const unsigned char* start, std::size_t size, const char* prefix,
                std::size_t prefix_size) {
  return size >= prefix_size && std::memcmp(start, prefix, prefix_size) == 0;
}

// At least three in four 4-byte units hold a character below U+10000 that is not NUL,
// and no unit is beyond U+10FFFF (a non-zero top byte): UTF-32, little-endian (high half
// at bytes 2 and 3) or big-endian.
bool LooksLikeUtf32(const unsigned char* start, std::size_t units, bool little_endian) {
  std::size_t plane0 = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned char* unit = start + 4 * i;
    const unsigned char* high = little_endian ? unit + 2 : unit;
    const unsigned char* low = little_endian ? unit : unit + 2;
    if (high[little_endian ? 1 : 0] != 0) return false;
    if (high[0] == 0 && high[1] == 0 && (low[0] != 0 || low[1] != 0)) ++plane0;
  }
  return units != 0 && 4 * plane0 >= 3 * units;
}

// At least three in four 2-byte units hold a character below U+0100 (a zero high byte,
// a non-zero low byte), and fewer than one in eight a zero low byte: ASCII or Latin-1
// text in UTF-16 with room for a few other characters, never a file of zero bytes.
bool LooksLikeUtf16(const unsigned char* start, std::size_t units, bool little_endian) {
  std::size_t latin = 0;
  std::size_t zero_low = 0;
  for (std::size_t i = 0; i < units; ++i) {
    const unsigned char high = start[2 * i + (little_endian ? 1 : 0)];
    const unsigned char low = start[2 * i + (little_endian ? 0 : 1)];
    if (high == 0 && low != 0) ++latin;
    if (low == 0) ++zero_low;
  }
  return units >= 2 && 4 * latin >= 3 * units && 8 * zero_low < units;
}

}  // namespace

TextEncoding SniffTextEncoding(const unsigned char* start, std::size_t size) {
  // The UTF-32 little-endian mark begins with the UTF-16 one: test it first.
  if (StartsWith(start, size, "\xff\xfe\0\0", 4) || StartsWith(start, size, "\0\0\xfe\xff", 4)) {
    return TextEncoding::kUtf32;
  }
  if (StartsWith(start, size, "\xff\xfe", 2) || StartsWith(start, size, "\xfe\xff", 2)) {
    return TextEncoding::kUtf16;
  }
  size = std::min(size, kEncodingSample);
  if (LooksLikeUtf32(start, size / 4, true) || LooksLikeUtf32(start, size / 4, false)) {
    return TextEncoding::kUtf32;
  }
  if (LooksLikeUtf16(start, size / 2, true) || LooksLikeUtf16(start, size / 2, false)) {
    return TextEncoding::kUtf16;
  }
  return TextEncoding::kBytes;
}

const char* RefusalReason(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf16:
      return "UTF-16 text; convert it to ASCII or UTF-8 first";
    case TextEncoding::kUtf32:
      return "UTF-32 text; convert it to ASCII or UTF-8 first";
    case TextEncoding::kBytes:
      break;
  }
  return nullptr;
}

}  // namespace trelba
