// The member-parallel inflate of BGZF input (what bgzip writes): gzip members that each
// name their own size in a "BC" extra field, at most 64 KiB of compressed data and of text.
// The members are found from that field alone, inflated on a few threads of this file (the
// only threads of the input layer), and their text handed out strictly in member order:
// the same text as the sequential gzip decoder's. From the first member that is anything
// but a whole, sound BGZF member (damage, a member cut short, garbage or zero padding after
// the last, text over 64 KiB) to the end of the file, the sequential decoder reads on,
// after the text of every member before it, so that every error is its error.
#pragma once

#include <cstddef>
#include <memory>

#include "input/decoder.hpp"

namespace trelba {

// A decoder for gzip input that begins with `start` (`size` bytes, the first member's
// header among them) inflated on up to `threads` threads; null when `threads` is 1 or
// less, when the first member is not a BGZF member, or when no thread or memory can be had:
// the caller then takes the sequential decoder, which reads the same text.
std::unique_ptr<Decoder> MakeParallelGzipDecoder(unsigned threads, const unsigned char* start,
                                                 std::size_t size);

// What the first bytes of a member say about it.
struct BgzfHeader {
  enum class Verdict { kNeedMore, kNotBgzf, kBgzf } verdict;
  std::size_t size;  // kNeedMore: bytes needed to tell; kBgzf: the whole member's size
};

// Reads the header of the member that `start` (`size` bytes) begins with.
BgzfHeader ScanBgzfHeader(const unsigned char* start, std::size_t size);

}  // namespace trelba
