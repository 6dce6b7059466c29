// zstd through libzstd: every frame of the file in turn, skippable frames passed over,
// as zstd -d reads them. Content checksums are verified where a frame has one. Zero
// padding is refused, as zstd -d refuses it.
#include <zstd.h>
#include <zstd_errors.h>

#include "input/decoder.hpp"

namespace trelba {
namespace {

constexpr const char* kCorruptZstd = "corrupt zstd data";
constexpr const char* kZstdCheckMismatch = "zstd checksum mismatch";
constexpr const char* kTruncatedZstd = "truncated zstd frame";
constexpr const char* kDataAfterZstd = "data after the end of the zstd stream";

class ZstdDecoder final : public Decoder {
 public:
  ZstdDecoder() : stream_(ZSTD_createDStream()) {}
  ~ZstdDecoder() override { ZSTD_freeDStream(stream_); }
  ZstdDecoder(const ZstdDecoder&) = delete;
  ZstdDecoder& operator=(const ZstdDecoder&) = delete;

  bool started() const { return stream_ != nullptr; }

  DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                    std::size_t out_size) override {
    ZSTD_inBuffer input{in, in_size, 0};
    ZSTD_outBuffer output{out, out_size, 0};
    DecodeStep step;
    for (;;) {
      const std::size_t in_before = input.pos;
      const std::size_t out_before = output.pos;
      // Past a frame's end with nothing more to read: do not call, or an empty call
      // would look like a frame cut short.
      if (frame_done_ && input.pos == input.size) break;
      const std::size_t hint = ZSTD_decompressStream(stream_, &output, &input);
      if (ZSTD_isError(hint)) {
        step = Failed(step, Reason(ZSTD_getErrorCode(hint)));
        break;
      }
      // 0: a frame is complete and all its text given out; the next call starts a new one.
      frame_done_ = hint == 0;
      frame_ended_ = frame_ended_ || frame_done_;
      if (output.pos == output.size) break;
      if (input.pos == in_before && output.pos == out_before) break;
    }
    step.consumed = input.pos;
    step.produced = output.pos;
    if (step.status == DecodeStatus::kError || input.pos != input.size || !last) return step;
    if (frame_done_) {
      step.status = DecodeStatus::kEnd;
    } else if (output.pos != output.size) {
      step = Failed(step, kTruncatedZstd);
    }
    return step;
  }

 private:
  // Why libzstd failed: bytes after a frame that begin no other frame are data after the
  // stream. Any other refusal (a window too large, an unsupported frame) in libzstd's words.
  const char* Reason(ZSTD_ErrorCode code) const {
    switch (code) {
      case ZSTD_error_checksum_wrong:
        return kZstdCheckMismatch;
      case ZSTD_error_prefix_unknown:
        return frame_ended_ ? kDataAfterZstd : kCorruptZstd;
      case ZSTD_error_GENERIC:
      case ZSTD_error_corruption_detected:
      case ZSTD_error_literals_headerWrong:
      case ZSTD_error_dictionary_corrupted:
      case ZSTD_error_srcSize_wrong:
        return kCorruptZstd;
      case ZSTD_error_memory_allocation:
        return kOutOfMemory;
      default:
        return ZSTD_getErrorString(code);
    }
  }

  ZSTD_DStream* stream_;
  bool frame_done_ = false;
  bool frame_ended_ = false;  // a whole frame has been read
};

}  // namespace

std::unique_ptr<Decoder> MakeZstdDecoder() {
  return MakeStarted<ZstdDecoder>();
}

}  // namespace trelba
