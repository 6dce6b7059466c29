// xz output: streams of up to 512 KiB of text each, LZMA2 at preset 1 with a dictionary of
// the member's size (about 5 MB of memory a thread; preset 6 took twelve times as long on a
// table), CRC-64 checked, as xz writes them.
#include <lzma.h>

#include <new>

#include "reports/member_codec.hpp"

namespace trelba {
namespace {

constexpr std::size_t kMemberText = 1 << 19;
constexpr std::uint32_t kPreset = 1;

class XzCodec final : public MemberCodec {
 public:
  XzCodec() {
    if (lzma_lzma_preset(&options_, kPreset)) throw std::bad_alloc();
    options_.dict_size = kMemberText;
    filters_[0] = {LZMA_FILTER_LZMA2, &options_};
    filters_[1] = {LZMA_VLI_UNKNOWN, nullptr};
  }
  ~XzCodec() override { lzma_end(&stream_); }
  XzCodec(const XzCodec&) = delete;
  XzCodec& operator=(const XzCodec&) = delete;

  std::size_t Compress(std::string_view text, char* member) override {
    // The encoder's memory is kept from one stream to the next.
    if (lzma_stream_encoder(&stream_, filters_, LZMA_CHECK_CRC64) != LZMA_OK) return 0;
    stream_.next_in = reinterpret_cast<const std::uint8_t*>(text.data());
    stream_.avail_in = text.size();
    stream_.next_out = reinterpret_cast<std::uint8_t*>(member);
    stream_.avail_out = lzma_stream_buffer_bound(kMemberText);
    if (lzma_code(&stream_, LZMA_FINISH) != LZMA_STREAM_END) return 0;
    return static_cast<std::size_t>(stream_.total_out);
  }

 private:
  lzma_options_lzma options_{};
  lzma_filter filters_[2]{};
  lzma_stream stream_ = LZMA_STREAM_INIT;
};

}  // namespace

MemberLayout XzLayout() {
  return {kMemberText, lzma_stream_buffer_bound(kMemberText), {}};
}

std::unique_ptr<MemberCodec> MakeXzCodec() {
  return std::make_unique<XzCodec>();
}

}  // namespace trelba
