// gzip output as BGZF, as bgzip writes it: gzip members of at most 64 KiB, each with the
// "BC" extra field holding the member's size less one, then the empty member that marks
// the file's end. gzip, zcat and Python read it as one text; htslib and tabix read it as
// BGZF. The bytes depend on the text alone: no name, no time, system byte 255 (unknown).
#include <cstdint>
#include <cstring>

#include "reports/member_codec.hpp"
#include "reports/raw_deflate.hpp"

namespace trelba {
namespace {

constexpr std::size_t kMemberLimit = 1 << 16;  // BGZF's 16-bit member size
constexpr std::size_t kMemberText = 0xff00;    // bgzip's text per member: it always fits
constexpr std::size_t kHeaderSize = 18;        // with the 6-byte extra field
constexpr std::size_t kTrailerSize = 8;        // CRC-32 and length
constexpr std::size_t kStoredHeaderSize = 5;   // a stored deflate block's header

constexpr unsigned char kHeader[kHeaderSize - 2] = {
    0x1f, 0x8b, 8, 4,  // magic, deflate, FEXTRA
    0,    0,    0, 0,  // no time
    0,    0xff,        // no extra flags, system unknown
    6,    0,           // XLEN
    'B',  'C',  2, 0,  // the BGZF field: its two bytes follow
};
constexpr char kEndOfFile[] =
    "\x1f\x8b\x08\x04\x00\x00\x00\x00\x00\xff\x06\x00\x42\x43\x02\x00\x1b\x00\x03\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00";

void PutLittleEndian(unsigned char* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

class BgzfCodec final : public MemberCodec {
 public:
  BgzfCodec() : deflater_(MakeRawDeflater()) {}

  std::size_t Compress(std::string_view text, char* member) override {
    auto* const out = reinterpret_cast<unsigned char*>(member);
    unsigned char* const body = out + kHeaderSize;
    std::size_t body_size =
        deflater_->Deflate(text, body, kMemberLimit - kHeaderSize - kTrailerSize);
    if (body_size == 0) {
      // Text that deflate cannot shrink: one stored block, which always fits.
      body[0] = 1;  // the last block, stored
      const auto size = static_cast<std::uint32_t>(text.size());
      PutLittleEndian(body + 1, size, 2);
      PutLittleEndian(body + 3, ~size & 0xffff, 2);
      std::memcpy(body + kStoredHeaderSize, text.data(), text.size());
      body_size = kStoredHeaderSize + text.size();
    }
    const std::size_t total = kHeaderSize + body_size + kTrailerSize;
    std::memcpy(out, kHeader, sizeof kHeader);
    PutLittleEndian(out + sizeof kHeader, static_cast<std::uint32_t>(total - 1), 2);
    PutLittleEndian(body + body_size, GzipCrc32(text), 4);
    PutLittleEndian(body + body_size + 4, static_cast<std::uint32_t>(text.size()), 4);
    return total;
  }

 private:
  std::unique_ptr<RawDeflater> deflater_;
};

}  // namespace

MemberLayout BgzfLayout() {
  return {kMemberText, kMemberLimit, {kEndOfFile, sizeof kEndOfFile - 1}};
}

std::unique_ptr<MemberCodec> MakeBgzfCodec() {
  return std::make_unique<BgzfCodec>();
}

}  // namespace trelba
