// bzip2 through libbz2. pbzip2 and lbzip2 write several streams one after another;
// bzip2 -d reads them all, and so does this. bzip2 -d only warns about bytes after the
// last stream that do not start another; here they are an error, zero bytes too, so
// that a damaged file never reads as a shorter one.
#include <bzlib.h>

#include <algorithm>
#include <limits>

#include "input/decoder.hpp"

namespace trelba {
namespace {

constexpr std::size_t kLargestStep = std::numeric_limits<unsigned int>::max();

// libbz2 tells a failed CRC from other damage by no code of its own (BZ_DATA_ERROR for
// both, the CRC catching most damage): one reason says both.
constexpr const char* kCorruptBzip2 = "corrupt bzip2 data or CRC mismatch";
constexpr const char* kTruncatedBzip2 = "truncated bzip2 stream";
constexpr const char* kDataAfterBzip2 = "data after the end of the bzip2 stream";

class Bzip2Decoder final : public Decoder {
 public:
  Bzip2Decoder() { started_ = Start(); }
  ~Bzip2Decoder() override {
    if (started_) BZ2_bzDecompressEnd(&stream_);
  }
  Bzip2Decoder(const Bzip2Decoder&) = delete;
  Bzip2Decoder& operator=(const Bzip2Decoder&) = delete;

  bool started() const { return started_; }

  DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                    std::size_t out_size) override {
    DecodeStep step;
    for (;;) {
      if (between_streams_) {
        if (step.consumed == in_size) {
          step.status = last ? DecodeStatus::kEnd : DecodeStatus::kMore;
          return step;
        }
        // More bytes: the next stream, which libbz2 checks for its "BZh" header.
        BZ2_bzDecompressEnd(&stream_);
        started_ = Start();
        if (!started_) return Failed(step, kOutOfMemory);
        between_streams_ = false;
        stream_ended_ = true;
      }
      const std::size_t in_left = std::min(in_size - step.consumed, kLargestStep);
      const std::size_t out_left = std::min(out_size - step.produced, kLargestStep);
      // libbz2 takes char pointers but does not write through next_in.
      stream_.next_in = const_cast<char*>(reinterpret_cast<const char*>(in + step.consumed));
      stream_.avail_in = static_cast<unsigned int>(in_left);
      stream_.next_out = reinterpret_cast<char*>(out + step.produced);
      stream_.avail_out = static_cast<unsigned int>(out_left);
      const int status = BZ2_bzDecompress(&stream_);
      const std::size_t used = in_left - stream_.avail_in;
      const std::size_t made = out_left - stream_.avail_out;
      step.consumed += used;
      step.produced += made;
      if (status == BZ_STREAM_END) {
        between_streams_ = true;
        continue;
      }
      if (status != BZ_OK) return Failed(step, Reason(status));
      if (step.produced == out_size) return step;
      if (used == 0 && made == 0) {
        if (last && step.consumed == in_size) return Failed(step, kTruncatedBzip2);
        return step;
      }
    }
  }

 private:
  bool Start() {
    stream_ = bz_stream{};
    return BZ2_bzDecompressInit(&stream_, 0, 0) == BZ_OK;
  }

  // Why libbz2 failed: bytes after a stream that do not begin another ("BZh") are data
  // after it.
  const char* Reason(int status) const {
    if (status == BZ_MEM_ERROR) return kOutOfMemory;
    if (status == BZ_DATA_ERROR_MAGIC && stream_ended_) return kDataAfterBzip2;
    return kCorruptBzip2;
  }

  bz_stream stream_{};
  bool started_ = false;
  bool between_streams_ = false;
  bool stream_ended_ = false;  // a whole stream has been read
};

}  // namespace

std::unique_ptr<Decoder> MakeBzip2Decoder() {
  return MakeStarted<Bzip2Decoder>();
}

}  // namespace trelba
