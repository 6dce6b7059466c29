// Cutting FASTA text into its sequences without reading their codons, so that the codons
// of different sequences can be counted on different threads. The cuts are the reader's
// (sequence_reader.hpp): a '>' anywhere starts a sequence; the rest of its line, up to and
// including the next line feed or carriage return, is the header, whose first word is the
// identifier; the body runs from there to the next '>'. Counting a body alone with a
// SequenceReader gives the counts the reader gives that sequence, since the reading frame
// restarts at every header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "input/codon_index.hpp"
#include "trelba/tables.hpp"

namespace trelba {

struct SequenceSplitter {
  SequenceNumber sequence = 0;    // headers seen so far
  bool in_header = false;         // inside a header line
  bool in_id = false;             // inside the first word of that line
  std::uint64_t u_letters = 0;    // letters U or u before the first header
};

// Feeds `size` bytes to `sink`, which has
//   void Start(SequenceNumber number);          a header begins sequence `number`
//   void Id(const char* text, std::size_t n);   a piece of its first word
//   void Body(const char* text, std::size_t n); a piece of its body
//   void End();                                 it ends (a '>', or FinishSplitting)
template <class Sink>
void SplitBytes(SequenceSplitter& splitter, const char* data, std::size_t size, Sink& sink) {
  const char* p = data;
  const char* const end = data + size;
  while (p != end) {
    if (splitter.in_header) {
      if (splitter.in_id) {
        const char* const word = p;
        while (p != end && kByteClasses[static_cast<unsigned char>(*p)] != kWhitespace) ++p;
        if (p != word) sink.Id(word, static_cast<std::size_t>(p - word));
        if (p == end) return;
        splitter.in_id = false;
      }
      while (p != end && *p != '\n' && *p != '\r') ++p;
      if (p == end) return;
      ++p;
      splitter.in_header = false;
      continue;
    }
    const auto* mark = static_cast<const char*>(std::memchr(p, '>', static_cast<std::size_t>(end - p)));
    const char* const stop = mark != nullptr ? mark : end;
    if (splitter.sequence != 0) {
      if (stop != p) sink.Body(p, static_cast<std::size_t>(stop - p));
    } else {
      for (const char* q = p; q != stop; ++q) splitter.u_letters += (*q == 'U') | (*q == 'u');
    }
    if (mark == nullptr) return;
    if (splitter.sequence != 0) sink.End();
    sink.Start(++splitter.sequence);
    splitter.in_header = splitter.in_id = true;
    p = mark + 1;
  }
}

// Ends the input: ends the last sequence, if any header was read.
template <class Sink>
void FinishSplitting(SequenceSplitter& splitter, Sink& sink) {
  if (splitter.sequence != 0) sink.End();
  splitter.in_header = splitter.in_id = false;
}

}  // namespace trelba
