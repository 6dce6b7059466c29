// xz through liblzma, a stream at a time: concatenated streams and the zero stream padding
// between and after them (a multiple of four bytes) are read as xz -d reads them. liblzma
// checks each block's check value and the index; the padding and what follows a stream
// are checked here, so that bytes after the last stream are told from damage inside it.
#include <lzma.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "input/decoder.hpp"

namespace trelba {
namespace {

// liblzma tells a failed check from other damage by no code of its own (LZMA_DATA_ERROR
// for both, the check catching much damage): one reason says both.
constexpr const char* kCorruptXz = "corrupt xz data or checksum mismatch";
constexpr const char* kTruncatedXz = "truncated xz stream";
constexpr const char* kDataAfterXz = "data after the end of the xz stream";

constexpr std::size_t kPaddingUnit = 4;
constexpr unsigned char kXzMagic[] = {0xfd, '7', 'z', 'X', 'Z', 0};  // how every stream begins

class XzDecoder final : public Decoder {
 public:
  XzDecoder() { started_ = StartStream(); }
  ~XzDecoder() override { lzma_end(&stream_); }
  XzDecoder(const XzDecoder&) = delete;
  XzDecoder& operator=(const XzDecoder&) = delete;

  bool started() const { return started_; }

  DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                    std::size_t out_size) override {
    DecodeStep step;
    for (;;) {
      if (between_streams_) {
        while (step.consumed < in_size && in[step.consumed] == 0) {
          ++step.consumed;
          ++padding_;
        }
        if (step.consumed == in_size && !last) return step;
        if (padding_ % kPaddingUnit != 0) return Failed(step, kDataAfterXz);
        if (step.consumed == in_size) {
          step.status = DecodeStatus::kEnd;
          return step;
        }
        // More bytes: the next stream, whose header liblzma checks.
        if (!StartStream()) return Failed(step, kOutOfMemory);
        magic_checked_ = 0;
      }
      if (!MagicMayFollow(in + step.consumed, in_size - step.consumed)) {
        return Failed(step, kDataAfterXz);
      }
      const std::size_t in_left = in_size - step.consumed;
      const std::size_t out_left = out_size - step.produced;
      stream_.next_in = in + step.consumed;
      stream_.avail_in = in_left;
      stream_.next_out = out + step.produced;
      stream_.avail_out = out_left;
      // Only LZMA_FINISH lets the decoder see that the input ends inside a stream.
      const lzma_ret status = lzma_code(&stream_, last ? LZMA_FINISH : LZMA_RUN);
      const std::size_t used = in_left - stream_.avail_in;
      const std::size_t made = out_left - stream_.avail_out;
      step.consumed += used;
      step.produced += made;
      magic_checked_ += std::min(used, std::size(kXzMagic) - magic_checked_);
      if (status == LZMA_STREAM_END) {
        between_streams_ = true;
        stream_ended_ = true;
        padding_ = 0;
        continue;
      }
      if (status != LZMA_OK) return Failed(step, Reason(status));
      if (step.produced == out_size) return step;
      if (used == 0 && made == 0) {
        if (last && step.consumed == in_size) return Failed(step, kTruncatedXz);
        return step;
      }
    }
  }

 private:
  bool StartStream() {
    between_streams_ = false;
    return lzma_stream_decoder(&stream_, UINT64_MAX, 0) == LZMA_OK;
  }

  // Whether the bytes `at` (`size` of them) go on with the magic number of the stream begun
  // after another, as far as they reach: liblzma waits for a whole header before it looks,
  // and what comes after a stream is no damage to it but data after it.
  bool MagicMayFollow(const unsigned char* at, std::size_t size) const {
    const std::size_t n = std::min(size, std::size(kXzMagic) - magic_checked_);
    return std::equal(at, at + n, kXzMagic + magic_checked_);
  }

  // Why liblzma failed: bytes after a stream that do not begin another are data after it;
  // LZMA_BUF_ERROR is input that ends inside a stream.
  const char* Reason(lzma_ret status) const {
    switch (status) {
      case LZMA_MEM_ERROR:
      case LZMA_MEMLIMIT_ERROR:
        return kOutOfMemory;
      case LZMA_FORMAT_ERROR:
        return stream_ended_ ? kDataAfterXz : kCorruptXz;
      case LZMA_BUF_ERROR:
        return kTruncatedXz;
      default:
        return kCorruptXz;
    }
  }

  lzma_stream stream_ = LZMA_STREAM_INIT;
  bool started_ = false;
  bool between_streams_ = false;
  bool stream_ended_ = false;  // a whole stream has been read
  std::size_t padding_ = 0;    // zero bytes since the last stream ended
  // Bytes of the stream's magic number seen to be right (the first stream's were, to tell
  // the format).
  std::size_t magic_checked_ = std::size(kXzMagic);
};

}  // namespace

std::unique_ptr<Decoder> MakeXzDecoder() {
  return MakeStarted<XzDecoder>();
}

}  // namespace trelba
