// Text this tool cannot read: UTF-16 and UTF-32, told by a byte-order mark or, without
// one, by the NUL bytes that ASCII letters leave in every other (or 3 in 4) byte. Read
// as bytes, such text yields invented sequences from stray '>' bytes, so it is refused.
// A UTF-8 byte-order mark is left alone: it comes before the first header, where bytes
// belong to no sequence.
#pragma once

#include <cstddef>

namespace trelba {

enum class TextEncoding { kBytes, kUtf16, kUtf32 };

// How many bytes of text to look at, when the input has that many.
inline constexpr std::size_t kEncodingSample = 4096;

TextEncoding SniffTextEncoding(const unsigned char* start, std::size_t size);

// Why text of `encoding` is refused, for the error line; null for kBytes.
const char* RefusalReason(TextEncoding encoding);

}  // namespace trelba
