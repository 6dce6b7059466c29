// gzip through zlib's inflate, with the member rules of gzip_members.hpp. Built where
// ISA-L is not found (gzip_decoder_isal.cpp otherwise).
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "input/gzip_members.hpp"

namespace trelba {
namespace {

constexpr std::size_t kLargestStep = std::numeric_limits<uInt>::max();

// What zlib's message of a Z_DATA_ERROR says, in the terms both inflaters share (zlib
// has no finer code).
InflateResult DataError(const char* message) {
  const auto is = [&](const char* text) {
    return message != nullptr && std::strcmp(message, text) == 0;
  };
  if (is("incorrect header check")) return InflateResult::kNotGzip;
  if (is("incorrect data check") || is("incorrect length check") || is("header crc mismatch")) {
    return InflateResult::kBadCheck;
  }
  return InflateResult::kCorrupt;
}

class ZlibInflater {
 public:
  ZlibInflater() = default;
  ~ZlibInflater() {
    if (initialised_) inflateEnd(&stream_);
  }
  ZlibInflater(const ZlibInflater&) = delete;
  ZlibInflater& operator=(const ZlibInflater&) = delete;

  bool Start() {
    if (initialised_) return inflateReset(&stream_) == Z_OK;
    // 15 + 16: a gzip wrapper with the largest window.
    initialised_ = inflateInit2(&stream_, 15 + 16) == Z_OK;
    return initialised_;
  }

  InflateResult Inflate(const unsigned char* in, std::size_t& in_size, unsigned char* out,
                        std::size_t& out_size) {
    const std::size_t in_step = std::min(in_size, kLargestStep);
    const std::size_t out_step = std::min(out_size, kLargestStep);
    stream_.next_in = const_cast<Bytef*>(in);
    stream_.avail_in = static_cast<uInt>(in_step);
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(out_step);
    const int status = inflate(&stream_, Z_NO_FLUSH);
    in_size -= in_step - stream_.avail_in;
    out_size -= out_step - stream_.avail_out;
    if (status == Z_STREAM_END) return InflateResult::kMemberEnd;
    // Z_BUF_ERROR only says that no progress was possible with these buffers.
    if (status == Z_OK || status == Z_BUF_ERROR) return InflateResult::kProgress;
    if (status == Z_MEM_ERROR) return InflateResult::kNoMemory;
    return status == Z_DATA_ERROR ? DataError(stream_.msg) : InflateResult::kCorrupt;
  }

 private:
  z_stream stream_{};
  bool initialised_ = false;
};

}  // namespace

std::unique_ptr<Decoder> MakeGzipDecoder() {
  return MakeStarted<GzipMembers<ZlibInflater>>();
}

std::unique_ptr<Decoder> MakeGzipDecoderAfterMember() {
  return MakeStarted<GzipMembers<ZlibInflater>>(true);
}

std::unique_ptr<MemberInflater> MakeMemberInflater() {
  return std::make_unique<WholeMembers<ZlibInflater>>();
}

}  // namespace trelba
