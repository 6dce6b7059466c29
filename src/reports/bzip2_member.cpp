// bzip2 output: streams of up to 512 KiB of text each, one bzip2 block apiece (blocks of
// 600 kB, level 6: 5 MB of memory while a member is made), as pbzip2 writes them.
#include <bzlib.h>

#include "reports/member_codec.hpp"

namespace trelba {
namespace {

constexpr std::size_t kMemberText = 1 << 19;
// bzip2's own bound: 1 % more than the text, and 600 bytes.
constexpr std::size_t kMemberBound = kMemberText + kMemberText / 100 + 600;
constexpr int kBlock100k = 6;

class Bzip2Codec final : public MemberCodec {
 public:
  std::size_t Compress(std::string_view text, char* member) override {
    auto size = static_cast<unsigned>(kMemberBound);
    const int result =
        BZ2_bzBuffToBuffCompress(member, &size, const_cast<char*>(text.data()),
                                 static_cast<unsigned>(text.size()), kBlock100k, 0, 0);
    return result == BZ_OK ? size : 0;  // with room for the bound, only memory fails
  }
};

}  // namespace

MemberLayout Bzip2Layout() {
  return {kMemberText, kMemberBound, {}};
}

std::unique_ptr<MemberCodec> MakeBzip2Codec() {
  return std::make_unique<Bzip2Codec>();
}

}  // namespace trelba
