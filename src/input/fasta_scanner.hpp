// Cutting FASTA text into its sequences: the one place that knows where a header starts
// and ends and which of its bytes are the identifier. The codons of each body are counted
// apart (codon_reader.hpp), so that different sequences can be counted on different threads.
//
// Reading rules:
//  - A '>' anywhere starts a new sequence (also inside a line: the body before it ends
//    there). The rest of its line, up to and including the next line feed or carriage
//    return, is the header. Its first word (up to the first whitespace) is the sequence's
//    identifier; the rest, from its first non-blank byte, is its description.
//  - The body runs from the end of the header line to the next '>'.
//  - Text before the first header belongs to no sequence.
// The text may arrive in pieces of any size: the scanner keeps its place from one piece
// to the next.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "input/body_search.hpp"
#include "input/codon_index.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct FastaScanner {
  SequenceNumber sequence = 0;  // headers seen so far: the number of the current sequence
  bool in_header = false;       // inside a header line
  bool in_id = false;           // inside the first word of that line
  bool in_description = false;  // past the first word, where the description may begin
  bool after_line_end = true;   // the last byte read ended a line (or nothing was read yet)
  std::uint64_t line = 1;       // number of the line being read
  std::uint64_t u_letters = 0;  // letters U or u before the first header
  // Lines of a body (or of the text before the first header) that begin with ';', the
  // comment mark of old FASTA files: read as sequence letters like any other line.
  std::uint64_t comment_lines = 0;
  std::uint64_t first_comment_line = 0;
  // Headers whose '>' stood inside a line rather than at its start.
  std::uint64_t inline_headers = 0;
  std::uint64_t first_inline_header_line = 0;
};

namespace fasta_scanner_detail {

inline void Note(std::uint64_t& count, std::uint64_t& first, std::uint64_t line) {
  if (count++ == 0) first = line;
}

// Line feeds in [p, stop): counted a chunk at a time in one byte, which the compiler turns
// into byte-wide vector compares (the count of a chunk of 255 bytes cannot pass 255).
inline std::uint64_t CountLineFeeds(const char* p, const char* stop) {
  std::uint64_t total = 0;
  while (p != stop) {
    const auto chunk = std::min<std::size_t>(static_cast<std::size_t>(stop - p), 255);
    std::uint8_t in_chunk = 0;
    for (std::size_t i = 0; i < chunk; ++i) {
      in_chunk = static_cast<std::uint8_t>(in_chunk + (p[i] == '\n'));
    }
    total += in_chunk;
    p += chunk;
  }
  return total;
}

// The first line feed or carriage return in [p, end), or end: eight bytes at a time where
// words are little-endian (a byte of a word that is zero marks the lowest such byte
// exactly: a borrow runs upward only from a zero byte).
inline const char* FindLineEnd(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighs = 0x8080808080808080;
    const auto zero_bytes = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    while (end - p >= 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, p, sizeof word);
      const std::uint64_t found =
          zero_bytes(word ^ ('\n' * kOnes)) | zero_bytes(word ^ ('\r' * kOnes));
      if (found != 0) return p + std::countr_zero(found) / 8;
      p += 8;
    }
  }
  while (p != end && *p != '\n' && *p != '\r') ++p;
  return p;
}

// Body text [p, stop), no '>' in it: its line ends and its ';' lines. ';' is no sequence
// letter: almost every body has none, and one search tells.
inline void SurveyBody(FastaScanner& scanner, const char* p, const char* stop) {
  if (p == stop) return;
  for (const char* q = p;
       (q = static_cast<const char*>(std::memchr(q, ';', static_cast<std::size_t>(stop - q)))) !=
       nullptr;
       ++q) {
    const bool line_start = q == p ? scanner.after_line_end : q[-1] == '\n' || q[-1] == '\r';
    if (line_start)
      Note(scanner.comment_lines, scanner.first_comment_line, scanner.line + CountLineFeeds(p, q));
  }
  scanner.line += CountLineFeeds(p, stop);
  scanner.after_line_end = stop[-1] == '\n' || stop[-1] == '\r';
}

}  // namespace fasta_scanner_detail

// Feeds `size` bytes to `sink`, which has
//   void Start(SequenceNumber number, uint64_t line);    a header on `line` begins sequence
//   `number` void Id(const char* text, std::size_t n);            a piece of its first word void
//   Description(const char* text, std::size_t n);   a piece of the rest of its line void Body(const
//   char* text, std::size_t n);          a piece of its body void End(); it ends (a '>', or
//   FinishFasta)
template <class Sink>
void ScanFasta(FastaScanner& scanner, const char* data, std::size_t size, Sink& sink) {
  const char* p = data;
  const char* const end = data + size;
  while (p != end) {
    if (scanner.in_header) {
      if (scanner.in_id) {
        const char* const word = p;
        while (p != end && kByteClasses[static_cast<unsigned char>(*p)] != kWhitespace) ++p;
        if (p != word) sink.Id(word, static_cast<std::size_t>(p - word));
        if (p == end) return;
        scanner.in_id = false;
        scanner.in_description = true;
      }
      if (scanner.in_description) {
        while (p != end && *p != '\n' && *p != '\r' &&
               kByteClasses[static_cast<unsigned char>(*p)] == kWhitespace) {
          ++p;
        }
        if (p == end) return;
        scanner.in_description = false;
      }
      const char* const rest = p;
      p = fasta_scanner_detail::FindLineEnd(p, end);
      if (p != rest) sink.Description(rest, static_cast<std::size_t>(p - rest));
      if (p == end) return;
      scanner.line += *p == '\n';
      scanner.after_line_end = true;
      ++p;
      scanner.in_header = false;
      continue;
    }
    const char* stop = end;
    std::uint64_t line_feeds = 0;
    if (scanner.sequence != 0 && kBodySearcher != nullptr &&
        kBodySearcher(p, end, stop, line_feeds)) {  // no ';' before the body's end
      if (stop != p) {
        sink.Body(p, static_cast<std::size_t>(stop - p));
        scanner.line += line_feeds;
        scanner.after_line_end = stop[-1] == '\n' || stop[-1] == '\r';
      }
    } else {
      const auto* const found =
          static_cast<const char*>(std::memchr(p, '>', static_cast<std::size_t>(end - p)));
      stop = found != nullptr ? found : end;
      if (scanner.sequence != 0) {
        if (stop != p) sink.Body(p, static_cast<std::size_t>(stop - p));
      } else {
        for (const char* q = p; q != stop; ++q) scanner.u_letters += (*q == 'U') | (*q == 'u');
      }
      fasta_scanner_detail::SurveyBody(scanner, p, stop);
    }
    if (stop == end) return;
    const char* const mark = stop;
    if (!scanner.after_line_end) {
      fasta_scanner_detail::Note(scanner.inline_headers, scanner.first_inline_header_line,
                                 scanner.line);
    }
    if (scanner.sequence != 0) sink.End();
    sink.Start(++scanner.sequence, scanner.line);
    scanner.in_header = scanner.in_id = true;
    scanner.after_line_end = false;
    p = mark + 1;
  }
}

// Ends the input: ends the last sequence, if any header was read.
template <class Sink>
void FinishFasta(FastaScanner& scanner, Sink& sink) {
  if (scanner.sequence != 0) sink.End();
  scanner.in_header = scanner.in_id = scanner.in_description = false;
}

}  // namespace trelba
