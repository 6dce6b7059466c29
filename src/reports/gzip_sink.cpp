#include "reports/gzip_sink.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>

namespace trelba {

struct GzipSink::Stream {
  z_stream z{};
  gz_header header{};
  std::array<unsigned char, 1 << 16> out{};
  bool started = false;
};

GzipSink::GzipSink(ByteSink& to) : to_(to), stream_(std::make_unique<Stream>()) {
  constexpr int kGzipWindow = 15 + 16;  // zlib's way of asking for a gzip wrapper
  constexpr int kMemoryLevel = 8;
  Stream& s = *stream_;
  s.started = deflateInit2(&s.z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindow, kMemoryLevel,
                           Z_DEFAULT_STRATEGY) == Z_OK;
  s.header.os = 3;  // as gzip -n writes it on Unix, whatever system this is
  // zlib fails to start only for want of memory.
  if (!s.started || deflateSetHeader(&s.z, &s.header) != Z_OK) Fail({0, kOutOfMemory});
}

GzipSink::~GzipSink() {
  if (stream_->started) deflateEnd(&stream_->z);
}

bool GzipSink::Deflate(const char* data, std::size_t size, int flush) {
  if (error_) return false;
  Stream& s = *stream_;
  s.z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  s.z.avail_in = static_cast<uInt>(size);
  for (;;) {
    s.z.next_out = s.out.data();
    s.z.avail_out = static_cast<uInt>(s.out.size());
    const int result = deflate(&s.z, flush);
    if (result == Z_STREAM_ERROR) return Fail({});
    const std::size_t made = s.out.size() - s.z.avail_out;
    if (made != 0 && !to_.Write(reinterpret_cast<const char*>(s.out.data()), made)) {
      return Fail(to_.error());
    }
    if (flush == Z_FINISH ? result == Z_STREAM_END : s.z.avail_in == 0 && s.z.avail_out != 0) {
      return true;
    }
  }
}

bool GzipSink::Write(const char* data, std::size_t size) {
  // zlib counts input in 32 bits: hand it over in pieces that fit.
  constexpr std::size_t kPiece = 1u << 30;
  for (std::size_t done = 0; done < size; done += kPiece) {
    if (!Deflate(data + done, std::min(kPiece, size - done), Z_NO_FLUSH)) return false;
  }
  return !error_;
}

bool GzipSink::Finish() {
  return Deflate(nullptr, 0, Z_FINISH);
}

bool NamesGzipFile(std::string_view name) {
  return name.size() > 3 && name.ends_with(".gz");
}

}  // namespace trelba
