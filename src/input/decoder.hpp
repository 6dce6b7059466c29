// The common face of the decompressors: each turns a block of compressed bytes into a
// block of text, so the file layer, not the decoder, decides where the bytes come from
// (a file, a pipe) and where the text goes. One call handles a whole block; nothing is
// called per byte.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>

#include "input/compression_format.hpp"
#include "trelba/failure_cause.hpp"

namespace trelba {

enum class DecodeStatus {
  kMore,   // call again: with more input, or with more room for text
  kEnd,    // the compressed data is complete and all of its text has been given out
  kError,  // corrupt, truncated or failing its check, or followed by garbage
};

struct DecodeStep {
  std::size_t consumed = 0;  // input bytes used; the caller passes the rest again
  std::size_t produced = 0;  // text bytes written to the output
  DecodeStatus status = DecodeStatus::kMore;
  // With kError, why, in the words of the error line: "truncated gzip member", "zstd
  // checksum mismatch", "data after the end of the xz stream", ... (a static text).
  const char* error = nullptr;
};

class Decoder {
 public:
  virtual ~Decoder() = default;

  // Decodes from `in` (`in_size` bytes) into `out` (room for `out_size` bytes, at least
  // 1). `last` says that `in` holds all the compressed data still to come: only then can
  // the end be reported, and a stream still open when `in` runs out is an error. Every
  // format's file may hold several streams one after another, read as one text.
  virtual DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last,
                            unsigned char* out, std::size_t out_size) = 0;
};

// `step`, marked as failed for `reason`.
inline DecodeStep Failed(DecodeStep step, const char* reason) {
  step.status = DecodeStatus::kError;
  step.error = reason;
  return step;
}

// A new decoder of type `T` made from `arguments`, or null when its library could not
// start it (`T::started`).
template <class T, class... Arguments>
std::unique_ptr<Decoder> MakeStarted(Arguments&&... arguments) {
  auto decoder = std::make_unique<T>(std::forward<Arguments>(arguments)...);
  if (!decoder->started()) return nullptr;
  return decoder;
}

// Each in its own file, named after the format. Null when the library cannot start a
// decoder (no memory).
std::unique_ptr<Decoder> MakeGzipDecoder();
std::unique_ptr<Decoder> MakeXzDecoder();
std::unique_ptr<Decoder> MakeBzip2Decoder();
std::unique_ptr<Decoder> MakeZstdDecoder();

// The decoder for `format`; null for uncompressed input.
std::unique_ptr<Decoder> MakeDecoder(CompressionFormat format);

}  // namespace trelba
