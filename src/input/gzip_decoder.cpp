// gzip through zlib's inflate: every member of a multi-member file (bgzip output,
// concatenated .gz files) in turn. Zero bytes after the last member, as tape archives
// pad files, are accepted up to the end of the file, as gzip accepts them; anything
// else after a member must be another member.
#include <zlib.h>

#include <algorithm>
#include <limits>

#include "input/decoder.hpp"

namespace trelba {
namespace {

constexpr std::size_t kLargestStep = std::numeric_limits<uInt>::max();

class GzipDecoder final : public Decoder {
 public:
  GzipDecoder() {
    // 15 + 16: a gzip wrapper with the largest window.
    started_ = inflateInit2(&stream_, 15 + 16) == Z_OK;
  }
  ~GzipDecoder() override {
    if (started_) inflateEnd(&stream_);
  }
  GzipDecoder(const GzipDecoder&) = delete;
  GzipDecoder& operator=(const GzipDecoder&) = delete;

  bool started() const { return started_; }

  DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                    std::size_t out_size) override {
    DecodeStep step;
    for (;;) {
      if (state_ == State::kPadding) return Padding(in, in_size, last, step);
      if (state_ == State::kBetweenMembers) {
        if (step.consumed == in_size) {
          step.status = last ? DecodeStatus::kEnd : DecodeStatus::kMore;
          return step;
        }
        if (in[step.consumed] == 0) {
          state_ = State::kPadding;
          continue;
        }
        if (inflateReset(&stream_) != Z_OK) return Failed(step);
        state_ = State::kInMember;
      }
      const std::size_t in_left = std::min(in_size - step.consumed, kLargestStep);
      const std::size_t out_left = std::min(out_size - step.produced, kLargestStep);
      stream_.next_in = const_cast<Bytef*>(in + step.consumed);
      stream_.avail_in = static_cast<uInt>(in_left);
      stream_.next_out = out + step.produced;
      stream_.avail_out = static_cast<uInt>(out_left);
      const int status = inflate(&stream_, Z_NO_FLUSH);
      const std::size_t used = in_left - stream_.avail_in;
      const std::size_t made = out_left - stream_.avail_out;
      step.consumed += used;
      step.produced += made;
      if (status == Z_STREAM_END) {
        state_ = State::kBetweenMembers;
        continue;
      }
      // Z_BUF_ERROR only says that no progress was possible with these buffers.
      if (status != Z_OK && status != Z_BUF_ERROR) return Failed(step);
      if (step.produced == out_size) return step;
      if (used == 0 && made == 0) {
        // inflate wants more input: none comes after the last block.
        if (last && step.consumed == in_size) return Failed(step);
        return step;
      }
    }
  }

 private:
  enum class State { kInMember, kBetweenMembers, kPadding };

  static DecodeStep Failed(DecodeStep step) {
    step.status = DecodeStatus::kError;
    return step;
  }

  static DecodeStep Padding(const unsigned char* in, std::size_t in_size, bool last,
                            DecodeStep step) {
    if (std::any_of(in + step.consumed, in + in_size, [](unsigned char b) { return b != 0; })) {
      return Failed(step);
    }
    step.consumed = in_size;
    step.status = last ? DecodeStatus::kEnd : DecodeStatus::kMore;
    return step;
  }

  z_stream stream_{};
  bool started_ = false;
  State state_ = State::kInMember;
};

}  // namespace

std::unique_ptr<Decoder> MakeGzipDecoder() {
  auto decoder = std::make_unique<GzipDecoder>();
  if (!decoder->started()) return nullptr;
  return decoder;
}

}  // namespace trelba
