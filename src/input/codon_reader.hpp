// Counting the codons of one sequence's body (fasta_scanner.hpp cuts the bodies out).
//
// Whitespace is skipped; the reading frame runs on across line breaks. Every other byte
// takes a place in the frame: a triple of three bases (T, C, A, G in either case) counts
// one codon, a triple holding any other byte (N, U, '-', digits...) counts nothing but
// element 0. The letters of an incomplete last triple are left over.
// A body may arrive in pieces of any size: the reader keeps its place in the frame.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "input/codon_index.hpp"
#include "input/codon_runs.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct CodonReader {
  CodonCounts counts{};         // triples read so far (element 0: those that are no codon)
  unsigned frame = 0;           // letters of the incomplete triple (0 to 2)
  unsigned index = 0;           // codon index accumulated from those letters, less one
  unsigned not_base = 0;        // non-zero when one of those letters is no base
  std::uint64_t u_letters = 0;  // letters U or u (RNA spelling)
  // The last letters read (whitespace left out), oldest first: enough for the last whole
  // triple and the incomplete one after it.
  std::array<unsigned char, 5> tail{};
  unsigned tail_size = 0;
};

namespace codon_reader_detail {

// Adds the last letters of [begin, end) to the reader's tail.
inline void KeepTail(CodonReader& reader, const unsigned char* begin, const unsigned char* end) {
  constexpr unsigned kKept = static_cast<unsigned>(std::tuple_size_v<decltype(reader.tail)>);
  std::array<unsigned char, kKept> fresh{};
  unsigned n = 0;
  while (end != begin && n < kKept) {
    const unsigned char byte = *--end;
    if (kByteClasses[byte] <= kNotBase) fresh[kKept - 1 - n++] = byte;
  }
  const unsigned old = std::min(reader.tail_size, kKept - n);
  std::array<unsigned char, kKept> merged{};
  for (unsigned i = 0; i < old; ++i) merged[i] = reader.tail[reader.tail_size - old + i];
  for (unsigned i = 0; i < n; ++i) merged[old + i] = fresh[kKept - n + i];
  reader.tail = merged;
  reader.tail_size = old + n;
}

}  // namespace codon_reader_detail

// Reads `size` bytes of body, which hold no '>'. With `kCountRuns` false every byte goes
// through the byte-by-byte path (for tests that check the runs against it).
template <bool kCountRuns = true>
void CountCodons(CodonReader& reader, const char* data, std::size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  // The frame state lives in locals inside the loop; it is stored back on the way out.
  unsigned frame = reader.frame;
  unsigned index = reader.index;
  unsigned not_base = reader.not_base;
  std::uint64_t* const counts = reader.counts.data();
  codon_reader_detail::KeepTail(reader, p, end);
  while (p != end) {
    // Whole codons of three bases from the frame's beginning on; the rest byte by byte.
    if constexpr (kCountRuns) {
      if (frame == 0) {
        p = kCodonRunReader(p, end, counts);
        if (p == end) break;
      }
    }
    const unsigned char byte = *p++;
    const unsigned cls = kByteClasses[byte];
    if (cls > kNotBase) continue;  // whitespace ('>' never reaches the reader)
    if (cls == kNotBase && (byte == 'U' || byte == 'u')) ++reader.u_letters;
    index = index * 4 + (cls & 3u);
    not_base |= cls & kNotBase;
    if (++frame == 3) {
      ++counts[not_base != 0 ? 0 : index + 1];
      frame = index = not_base = 0;
    }
  }
  reader.frame = frame;
  reader.index = index;
  reader.not_base = not_base;
}

// The codon index (1..64) of the last whole triple of the body read so far: 0 when that
// triple holds a letter that is no base, or when there is no whole triple.
inline std::uint8_t LastTriple(const CodonReader& reader) {
  if (reader.tail_size < reader.frame + 3) return 0;
  const unsigned char* const triple = reader.tail.data() + reader.tail_size - reader.frame - 3;
  const unsigned sum = CodonSum(triple);
  return static_cast<std::uint8_t>(sum < kNotCodonSum ? sum : 0);
}

}  // namespace trelba
