// xz through liblzma. Concatenated streams and the zero stream padding between and after
// them (a multiple of four bytes) are read as xz -d reads them; liblzma itself checks
// the padding, each block's check value and the index.
#include <lzma.h>

#include <cstdint>

#include "input/decoder.hpp"

namespace trelba {
namespace {

class XzDecoder final : public Decoder {
 public:
  XzDecoder() {
    started_ = lzma_stream_decoder(&stream_, UINT64_MAX, LZMA_CONCATENATED) == LZMA_OK;
  }
  ~XzDecoder() override { lzma_end(&stream_); }
  XzDecoder(const XzDecoder&) = delete;
  XzDecoder& operator=(const XzDecoder&) = delete;

  bool started() const { return started_; }

  DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                    std::size_t out_size) override {
    DecodeStep step;
    if (ended_) {
      step.status = in_size == 0 ? DecodeStatus::kEnd : DecodeStatus::kError;
      return step;
    }
    stream_.next_in = in;
    stream_.avail_in = in_size;
    stream_.next_out = out;
    stream_.avail_out = out_size;
    // With LZMA_CONCATENATED, only LZMA_FINISH lets the decoder see that no further
    // stream follows.
    const lzma_ret status = lzma_code(&stream_, last ? LZMA_FINISH : LZMA_RUN);
    step.consumed = in_size - stream_.avail_in;
    step.produced = out_size - stream_.avail_out;
    if (status == LZMA_STREAM_END) {
      ended_ = true;
      step.status = DecodeStatus::kEnd;
    } else if (status != LZMA_OK) {
      // Corrupt data, a bad check value or padding, garbage, no memory, or (LZMA_BUF_ERROR)
      // the input ended inside a stream.
      step.status = DecodeStatus::kError;
    } else if (last && step.consumed == in_size && step.produced == 0) {
      step.status = DecodeStatus::kError;  // the input ends inside a stream
    }
    return step;
  }

 private:
  lzma_stream stream_ = LZMA_STREAM_INIT;
  bool started_ = false;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<Decoder> MakeXzDecoder() {
  return MakeStarted<XzDecoder>();
}

}  // namespace trelba
