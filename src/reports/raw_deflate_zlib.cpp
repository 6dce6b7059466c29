// zlib's deflate at level 1, where ISA-L is not found (Windows, ARM, the sanitizer builds):
// about a third of ISA-L's speed, for members about the same size.
#include <zlib.h>

#include <new>

#include "reports/raw_deflate.hpp"

namespace trelba {
namespace {

constexpr int kRawWindow = -15;  // zlib's way of asking for no wrapper
constexpr int kMemoryLevel = 8;

class ZlibDeflater final : public RawDeflater {
 public:
  ZlibDeflater() {
    if (deflateInit2(&stream_, 1, Z_DEFLATED, kRawWindow, kMemoryLevel, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
      throw std::bad_alloc();  // zlib fails to start only for want of memory
    }
  }
  ~ZlibDeflater() override { deflateEnd(&stream_); }
  ZlibDeflater(const ZlibDeflater&) = delete;
  ZlibDeflater& operator=(const ZlibDeflater&) = delete;

  std::size_t Deflate(std::string_view text, unsigned char* out, std::size_t capacity) override {
    deflateReset(&stream_);
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream_.avail_in = static_cast<uInt>(text.size());
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(capacity);
    if (deflate(&stream_, Z_FINISH) != Z_STREAM_END) return 0;  // it did not fit
    return capacity - stream_.avail_out;
  }

 private:
  z_stream stream_{};
};

}  // namespace

std::unique_ptr<RawDeflater> MakeRawDeflater() {
  return std::make_unique<ZlibDeflater>();
}

std::uint32_t GzipCrc32(std::string_view text) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

}  // namespace trelba
