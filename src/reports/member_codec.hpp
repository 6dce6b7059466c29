// Compressing an output in members: blocks of its text each compressed on its own into a
// member that stands alone (a BGZF block of gzip, a zstd frame, an xz stream, a bzip2
// stream). The members one after another are, to each format's tools, the whole text; and
// since every member is made from its block alone, members can be made on several threads
// and still give the same bytes. Each format's codec lives in a file of its own.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "input/compression_format.hpp"

namespace trelba {

// How a format cuts its text into members.
struct MemberLayout {
  std::size_t text = 0;   // the most text a member holds
  std::size_t bound = 0;  // the most bytes a member of that much text takes
  std::string_view end;   // bytes the file ends with (BGZF's empty member), after the members
};

// One thread's compressor of members, kept from one member to the next.
class MemberCodec {
 public:
  virtual ~MemberCodec() = default;
  // Writes the member of `text` (at most layout.text bytes) to `member` (room for
  // layout.bound bytes): its size, or 0 when the compressor ran out of memory.
  virtual std::size_t Compress(std::string_view text, char* member) = 0;
};

// The layout of `format`'s members (kGzip: BGZF).
MemberLayout LayoutOf(CompressionFormat format);

// A compressor of `format`, which this build must write (output_compression.hpp); throws
// std::bad_alloc when memory cannot be had.
std::unique_ptr<MemberCodec> MakeMemberCodec(CompressionFormat format);

// Each format's own (in its file); MakeMemberCodec chooses.
MemberLayout BgzfLayout();
std::unique_ptr<MemberCodec> MakeBgzfCodec();
MemberLayout ZstdLayout();
std::unique_ptr<MemberCodec> MakeZstdCodec();
MemberLayout XzLayout();
std::unique_ptr<MemberCodec> MakeXzCodec();
MemberLayout Bzip2Layout();
std::unique_ptr<MemberCodec> MakeBzip2Codec();

}  // namespace trelba
