// zlib's deflate at level 1 and its inflate: built where ISA-L is not found.
#include "reports/spill_compression.hpp"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <new>
#include <vector>

namespace trelba {
namespace {

constexpr int kRawDeflate = -15;  // no header: the bytes never leave the process
constexpr std::size_t kBlock = std::size_t{1} << 16;

}  // namespace

struct SpillCompressor::State {
  z_stream z{};
  std::array<unsigned char, kBlock> out{};
  ~State() { deflateEnd(&z); }
};

SpillCompressor::SpillCompressor() : state_(std::make_unique<State>()) {
  constexpr int kMemoryLevel = 8;
  if (deflateInit2(&state_->z, 1, Z_DEFLATED, kRawDeflate, kMemoryLevel, Z_DEFAULT_STRATEGY) !=
      Z_OK) {
    throw std::bad_alloc();  // zlib fails to start only for want of memory
  }
}

SpillCompressor::~SpillCompressor() = default;

bool SpillCompressor::Compress(const char* data, std::size_t size, bool finish, SpillFile& to) {
  z_stream& z = state_->z;
  // zlib counts input in 32 bits: handed over in pieces that fit.
  constexpr std::size_t kPiece = std::size_t{1} << 30;
  do {
    const std::size_t piece = std::min(size, kPiece);
    const int flush = finish && piece == size ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z.avail_in = static_cast<uInt>(piece);
    for (;;) {
      z.next_out = state_->out.data();
      z.avail_out = static_cast<uInt>(state_->out.size());
      const int result = deflate(&z, flush);
      if (result == Z_STREAM_ERROR) return false;
      const std::size_t made = state_->out.size() - z.avail_out;
      if (made != 0 && !to.Write(state_->out.data(), made)) return false;
      if (flush == Z_FINISH ? result == Z_STREAM_END : z.avail_in == 0 && z.avail_out != 0) break;
    }
    data += piece;
    size -= piece;
  } while (size != 0);
  return true;
}

Decompressed Decompress(SpillFile& from, const std::function<void(std::string_view)>& take) {
  if (!from.Rewind()) return Decompressed::kFileFailed;
  z_stream z{};
  if (inflateInit2(&z, kRawDeflate) != Z_OK) return Decompressed::kNoMemory;
  std::vector<unsigned char> in(kBlock), out(kBlock);
  int result = Z_OK;
  while (result == Z_OK) {
    if (z.avail_in == 0) {
      std::size_t got = 0;
      if (!from.Read(in.data(), in.size(), got)) {
        inflateEnd(&z);
        return Decompressed::kFileFailed;
      }
      if (got == 0) break;
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(got);
    }
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    result = inflate(&z, Z_NO_FLUSH);
    const std::size_t made = out.size() - z.avail_out;
    if ((result == Z_OK || result == Z_STREAM_END) && made != 0) {
      take({reinterpret_cast<const char*>(out.data()), made});
    }
  }
  inflateEnd(&z);
  return result == Z_STREAM_END ? Decompressed::kWhole : Decompressed::kDamaged;
}

}  // namespace trelba
