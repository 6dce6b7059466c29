// Turning FASTA text into the codon counts of one sequence after another.
//
// The text may arrive in pieces of any size: the reader keeps its place (the letters of an
// incomplete codon, whether it is inside a header line) from one piece to the next, and
// hands each sequence's counts to the caller as soon as the sequence ends.
//
// Reading rules:
//  - A '>' anywhere starts a new sequence. The one or two letters of an incomplete codon
//    read before it are dropped, and the rest of its line, up to and including the next
//    line feed or carriage return, is the header. Its first word (up to the first
//    whitespace) is kept as the sequence's identifier; the rest is skipped.
//  - Whitespace is skipped; the reading frame runs on across line breaks.
//  - Every other byte takes a place in the frame. A triple of three bases (T, C, A, G in
//    either case) counts one codon; a triple with any other letter (N, U, '-', digits...)
//    counts nothing.
//  - Codons before the first header belong to no sequence and are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/codon_index.hpp"
#include "input/codon_runs.hpp"
#include "trelba/tables.hpp"

namespace trelba {

struct SequenceReader {
  CodonCounts counts{};         // codons of the sequence being read
  SequenceNumber sequence = 0;  // headers seen so far: the number of the current sequence
  unsigned frame = 0;           // letters of the incomplete codon (0 to 2)
  unsigned index = 0;           // codon index accumulated from those letters, less one
  unsigned not_base = 0;        // non-zero when one of those letters is no base
  bool in_header = false;       // inside a header line
  bool in_id = false;           // inside the first word of that header line
  std::string id;               // first word of the current sequence's header
  std::uint64_t u_letters = 0;  // letters U or u read in sequence lines (RNA spelling)
};

// Reads `size` bytes. `on_sequence(number, counts, id)` is called for every sequence that a
// header in these bytes ends, before the next one is started. With `kCountRuns` false
// every byte goes through the byte-by-byte path (for tests that check the runs against it).
template <bool kCountRuns = true, class OnSequence>
void ReadBytes(SequenceReader& reader, const char* data, std::size_t size,
               OnSequence&& on_sequence) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  // The frame state lives in locals inside the loop; it is stored back on the way out.
  unsigned frame = reader.frame;
  unsigned index = reader.index;
  unsigned not_base = reader.not_base;
  bool in_header = reader.in_header;
  std::uint64_t* const counts = reader.counts.data();

  while (p != end) {
    if (in_header) {
      if (reader.in_id) {
        const auto* const word = p;
        while (p != end && kByteClasses[*p] != kWhitespace) ++p;
        reader.id.append(reinterpret_cast<const char*>(word), static_cast<std::size_t>(p - word));
        if (p == end) break;
        reader.in_id = false;
      }
      while (p != end && *p != '\n' && *p != '\r') ++p;
      if (p == end) break;
      ++p;
      in_header = false;
      continue;
    }
    // Whole codons of three bases from the frame's beginning on; the rest byte by byte.
    if constexpr (kCountRuns) {
      if (frame == 0) {
        p = CountCodonRuns(p, end, counts);
        if (p == end) break;
      }
    }
    const unsigned char byte = *p++;
    const unsigned cls = kByteClasses[byte];
    if (cls <= kNotBase) {
      if (cls == kNotBase && (byte == 'U' || byte == 'u')) ++reader.u_letters;
      index = index * 4 + (cls & 3u);
      not_base |= cls & kNotBase;
      if (++frame == 3) {
        ++counts[not_base != 0 ? 0 : index + 1];
        frame = index = not_base = 0;
      }
    } else if (cls == kHeaderMark) {
      if (reader.sequence != 0) {
        on_sequence(reader.sequence, reader.counts, std::string_view(reader.id));
      }
      ++reader.sequence;
      reader.counts = CodonCounts{};
      reader.id.clear();
      reader.in_id = true;
      frame = index = not_base = 0;
      in_header = true;
    }
  }
  reader.frame = frame;
  reader.index = index;
  reader.not_base = not_base;
  reader.in_header = in_header;
}

// Ends the input: hands over the last sequence, if any header was read. The letters of an
// incomplete last codon are dropped.
template <class OnSequence>
void FinishReading(SequenceReader& reader, OnSequence&& on_sequence) {
  if (reader.sequence != 0) on_sequence(reader.sequence, reader.counts, std::string_view(reader.id));
  reader.counts = CodonCounts{};
  reader.frame = reader.index = reader.not_base = 0;
  reader.in_header = reader.in_id = false;
  reader.id.clear();
}

}  // namespace trelba
