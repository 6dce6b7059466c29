// Deflate without a wrapper, and gzip's CRC-32, for BGZF members: through ISA-L's igzip
// where it is found (raw_deflate_isal.cpp), else through zlib (raw_deflate_zlib.cpp). The
// two write different bytes for the same text (both inflate to it); either writes the same
// bytes on every run of a build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace trelba {

class RawDeflater {
 public:
  virtual ~RawDeflater() = default;
  // Deflates `text` into `out`: its size, or 0 when it does not fit in `capacity` bytes.
  virtual std::size_t Deflate(std::string_view text, unsigned char* out, std::size_t capacity) = 0;
};

// Throws std::bad_alloc when memory cannot be had.
std::unique_ptr<RawDeflater> MakeRawDeflater();

// gzip's CRC-32 of `text`.
std::uint32_t GzipCrc32(std::string_view text);

}  // namespace trelba
