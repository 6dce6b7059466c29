#include "input/decoder.hpp"

namespace trelba {

std::unique_ptr<Decoder> MakeDecoder(CompressionFormat format) {
  switch (format) {
    case CompressionFormat::kGzip:
      return MakeGzipDecoder();
    case CompressionFormat::kXz:
      return MakeXzDecoder();
    case CompressionFormat::kBzip2:
      return MakeBzip2Decoder();
    case CompressionFormat::kZstd:
      return MakeZstdDecoder();
    case CompressionFormat::kNone:
      break;
  }
  return nullptr;
}

}  // namespace trelba
