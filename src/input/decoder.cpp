#include "input/decoder.hpp"

namespace trelba {

// A format this build leaves out (readable_formats.hpp) has no decoder: null, as for
// plain input.
std::unique_ptr<Decoder> MakeDecoder(CompressionFormat format) {
  switch (format) {
    case CompressionFormat::kGzip:
      return MakeGzipDecoder();
    case CompressionFormat::kXz:
#if TRELBA_WITH_XZ
      return MakeXzDecoder();
#else
      return nullptr;
#endif
    case CompressionFormat::kBzip2:
#if TRELBA_WITH_BZIP2
      return MakeBzip2Decoder();
#else
      return nullptr;
#endif
    case CompressionFormat::kZstd:
#if TRELBA_WITH_ZSTD
      return MakeZstdDecoder();
#else
      return nullptr;
#endif
    case CompressionFormat::kNone:
      break;
  }
  return nullptr;
}

}  // namespace trelba
