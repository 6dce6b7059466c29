// Which compression, if any, a file uses, told by its first bytes (never by its name).
#pragma once

#include <cstddef>

namespace trelba {

enum class CompressionFormat { kNone, kGzip, kXz, kBzip2, kZstd };

// The longest magic number: read at least this many bytes (or the whole input, if
// shorter) before telling the format.
inline constexpr std::size_t kLongestMagic = 6;

// The format whose magic number `start` (the first `size` bytes of the input) begins
// with; kNone for anything else, plain text among it.
CompressionFormat SniffCompression(const unsigned char* start, std::size_t size);

// "gzip", "xz", ... for messages and test names.
const char* CompressionName(CompressionFormat format);

}  // namespace trelba
