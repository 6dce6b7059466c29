// Raw deflate at the fastest level, for what a store spills to the temporary folder
// (reports/staged_sink.hpp), and the inflate that reads it back: ISA-L's where it is found
// (spill_compression_isal.cpp: about four times zlib's speed on table rows, either way),
// else zlib's (spill_compression.cpp).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "reports/spill_file.hpp"

namespace trelba {

class SpillCompressor {
 public:
  SpillCompressor();  // throws std::bad_alloc
  ~SpillCompressor();
  SpillCompressor(const SpillCompressor&) = delete;
  SpillCompressor& operator=(const SpillCompressor&) = delete;

  // Compresses `size` bytes to the end of `to`, and with `finish` ends the stream; false
  // when `to` failed (to.failed()) or the compressor did, for want of memory.
  bool Compress(const char* data, std::size_t size, bool finish, SpillFile& to);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

enum class Decompressed {
  kWhole,
  kFileFailed,  // from.failed() says why
  kDamaged,     // the file does not hold what was written to it
  kNoMemory,
};

// Reads what a SpillCompressor wrote to `from` back from its start, handing it to `take`
// in pieces.
Decompressed Decompress(SpillFile& from, const std::function<void(std::string_view)>& take);

}  // namespace trelba
