// ISA-L's igzip deflate at level 1 and its inflate: built instead of spill_compression.cpp
// where ISA-L is found.
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "reports/spill_compression.hpp"

namespace trelba {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 16;
constexpr std::size_t kLargestStep = std::numeric_limits<std::uint32_t>::max();

}  // namespace

struct SpillCompressor::State {
  isal_zstream z{};
  std::vector<std::uint8_t> level_buffer = std::vector<std::uint8_t>(ISAL_DEF_LVL1_DEFAULT);
  std::array<unsigned char, kBlock> out{};
};

SpillCompressor::SpillCompressor() : state_(std::make_unique<State>()) {
  isal_zstream& z = state_->z;
  isal_deflate_init(&z);
  z.level = 1;
  z.level_buf = state_->level_buffer.data();
  z.level_buf_size = static_cast<std::uint32_t>(state_->level_buffer.size());
  z.gzip_flag = IGZIP_DEFLATE;  // raw: no header
  z.flush = NO_FLUSH;
}

SpillCompressor::~SpillCompressor() = default;

bool SpillCompressor::Compress(const char* data, std::size_t size, bool finish, SpillFile& to) {
  isal_zstream& z = state_->z;
  do {
    const std::size_t piece = std::min(size, kLargestStep);
    z.next_in = reinterpret_cast<std::uint8_t*>(const_cast<char*>(data));
    z.avail_in = static_cast<std::uint32_t>(piece);
    z.end_of_stream = finish && piece == size ? 1 : 0;
    do {
      z.next_out = state_->out.data();
      z.avail_out = static_cast<std::uint32_t>(state_->out.size());
      if (isal_deflate(&z) != COMP_OK) return false;
      const std::size_t made = state_->out.size() - z.avail_out;
      if (made != 0 && !to.Write(state_->out.data(), made)) return false;
    } while (z.avail_in != 0 || z.avail_out == 0 ||
             (z.end_of_stream != 0 && z.internal_state.state != ZSTATE_END));
    data += piece;
    size -= piece;
  } while (size != 0);
  return true;
}

Decompressed Decompress(SpillFile& from, const std::function<void(std::string_view)>& take) {
  if (!from.Rewind()) return Decompressed::kFileFailed;
  inflate_state z{};
  isal_inflate_init(&z);
  z.crc_flag = ISAL_DEFLATE;  // raw: no header, no check
  std::vector<unsigned char> in(kBlock), out(kBlock);
  while (z.block_state != ISAL_BLOCK_FINISH) {
    if (z.avail_in == 0) {
      std::size_t got = 0;
      if (!from.Read(in.data(), in.size(), got)) return Decompressed::kFileFailed;
      if (got == 0) return Decompressed::kDamaged;
      z.next_in = in.data();
      z.avail_in = static_cast<std::uint32_t>(got);
    }
    z.next_out = out.data();
    z.avail_out = static_cast<std::uint32_t>(out.size());
    if (isal_inflate(&z) != ISAL_DECOMP_OK) return Decompressed::kDamaged;
    const std::size_t made = out.size() - z.avail_out;
    if (made != 0) take({reinterpret_cast<const char*>(out.data()), made});
  }
  return Decompressed::kWhole;
}

}  // namespace trelba
