#include "input/compression_format.hpp"

#include <cstring>
#include <string_view>

namespace trelba {
namespace {

struct Magic {
  CompressionFormat format;
  std::string_view bytes;
};

using namespace std::string_view_literals;

// gzip 1f 8b; xz FD '7zXZ' 00; bzip2 "BZh"; a zstd frame 28 B5 2F FD (0xFD2FB528 in
// little-endian order).
constexpr Magic kMagics[] = {
    {CompressionFormat::kGzip, "\x1f\x8b"sv},
    {CompressionFormat::kXz, "\xfd\x37\x7a\x58\x5a\x00"sv},
    {CompressionFormat::kBzip2, "BZh"sv},
    {CompressionFormat::kZstd, "\x28\xb5\x2f\xfd"sv},
};

// A zstd skippable frame (0x184D2A50 to 0x184D2A5F, little-endian) may come first: the
// zstd tool reads such a file too.
bool StartsWithZstdSkippableFrame(const unsigned char* start, std::size_t size) {
  return size >= 4 && (start[0] & 0xf0) == 0x50 && start[1] == 0x2a && start[2] == 0x4d &&
         start[3] == 0x18;
}

}  // namespace

CompressionFormat SniffCompression(const unsigned char* start, std::size_t size) {
  if (StartsWithZstdSkippableFrame(start, size)) return CompressionFormat::kZstd;
  for (const Magic& magic : kMagics) {
    if (size >= magic.bytes.size() &&
        std::memcmp(start, magic.bytes.data(), magic.bytes.size()) == 0) {
      return magic.format;
    }
  }
  return CompressionFormat::kNone;
}

const char* CompressionName(CompressionFormat format) {
  switch (format) {
    case CompressionFormat::kGzip:
      return "gzip";
    case CompressionFormat::kXz:
      return "xz";
    case CompressionFormat::kBzip2:
      return "bzip2";
    case CompressionFormat::kZstd:
      return "zstd";
    case CompressionFormat::kNone:
      break;
  }
  return "none";
}

}  // namespace trelba
