// zstd output: frames of up to 512 KiB of text each, at zstd's default level 3, each with
// its content checksum, as the zstd tool writes them.
#include <zstd.h>

#include <new>

#include "reports/member_codec.hpp"

namespace trelba {
namespace {

constexpr std::size_t kMemberText = 1 << 19;
constexpr int kLevel = 3;

class ZstdCodec final : public MemberCodec {
 public:
  ZstdCodec() : context_(ZSTD_createCCtx()) {
    if (context_ == nullptr) throw std::bad_alloc();
    ZSTD_CCtx_setParameter(context_, ZSTD_c_compressionLevel, kLevel);
    ZSTD_CCtx_setParameter(context_, ZSTD_c_checksumFlag, 1);
  }
  ~ZstdCodec() override { ZSTD_freeCCtx(context_); }
  ZstdCodec(const ZstdCodec&) = delete;
  ZstdCodec& operator=(const ZstdCodec&) = delete;

  std::size_t Compress(std::string_view text, char* member) override {
    const std::size_t size =
        ZSTD_compress2(context_, member, ZSTD_compressBound(kMemberText), text.data(), text.size());
    return ZSTD_isError(size) ? 0 : size;  // with room for the bound, only memory fails
  }

 private:
  ZSTD_CCtx* context_;
};

}  // namespace

MemberLayout ZstdLayout() {
  return {kMemberText, ZSTD_compressBound(kMemberText), {}};
}

std::unique_ptr<MemberCodec> MakeZstdCodec() {
  return std::make_unique<ZstdCodec>();
}

}  // namespace trelba
