// What the input looked like, for warning the user when it is plainly not coding DNA:
// RNA letters, mostly non-codon triples (a protein file), no header line, a sequence far
// longer than any gene; or when it reads otherwise than its writer may have meant: ';'
// comment lines read as sequence, a '>' inside a line, stop codons inside a gene, letters
// left after the last whole codon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trelba/codons_and_families.hpp"

namespace trelba {

// A sequence of this many letters or more is no gene (the longest known are a few Mb).
inline constexpr std::uint64_t kLongestGeneLetters = 10'000'000;

// The longest identifier (and description) the table keeps; a longer one is cut there,
// so that memory does not grow with a header.
inline constexpr std::size_t kMaxIdBytes = 64 << 10;

struct InputSurvey {
  std::uint64_t codons = 0;          // triples of three bases
  std::uint64_t other_triples = 0;   // triples holding another letter
  std::uint64_t long_sequences = 0;  // sequences of kLongestGeneLetters or more
  std::uint64_t longest = 0;         // letters in the triples of the longest sequence
  // Sequences with stop codons before their last codon, and with letters after it; each
  // with the line of the first such sequence's header.
  std::uint64_t internal_stop_sequences = 0;
  std::uint64_t first_internal_stop_line = 0;
  std::uint64_t partial_sequences = 0;
  std::uint64_t first_partial_line = 0;
  // From the scanner: ';' lines and headers inside lines, with the first one's line.
  std::uint64_t comment_lines = 0;
  std::uint64_t first_comment_line = 0;
  std::uint64_t inline_headers = 0;
  std::uint64_t first_inline_header_line = 0;
  // Identifiers longer than kMaxIdBytes (cut there in the table), with the first one's line.
  std::uint64_t long_ids = 0;
  std::uint64_t first_long_id_line = 0;
  // NUL bytes in the text, with the place of the first (counted from 1).
  std::uint64_t nul_bytes = 0;
  std::uint64_t first_nul_byte = 0;

  // One sequence of `codons_here` codons (counts 1 to 64 summed) and `others` other
  // triples (count 0).
  void Add(std::uint64_t codons_here, std::uint64_t others) {
    const std::uint64_t letters = 3 * (codons_here + others);
    codons += codons_here;
    other_triples += others;
    if (letters >= kLongestGeneLetters) ++long_sequences;
    if (letters > longest) longest = letters;
  }

  // One sequence's stop codons inside it and letters after its last codon.
  void AddChecks(std::uint64_t internal_stops, unsigned partial_letters, std::uint64_t line) {
    if (internal_stops != 0 && internal_stop_sequences++ == 0) first_internal_stop_line = line;
    if (partial_letters != 0 && partial_sequences++ == 0) first_partial_line = line;
  }

  // Adds a later part of the input.
  void Merge(const InputSurvey& other) {
    if (internal_stop_sequences == 0) first_internal_stop_line = other.first_internal_stop_line;
    if (partial_sequences == 0) first_partial_line = other.first_partial_line;
    internal_stop_sequences += other.internal_stop_sequences;
    partial_sequences += other.partial_sequences;
    codons += other.codons;
    other_triples += other.other_triples;
    long_sequences += other.long_sequences;
    if (other.longest > longest) longest = other.longest;
  }
};

// The warning lines (without "Warning: " and the line end) for an input called `name`,
// given its survey, the number of U/u letters read in sequence lines and whether any
// header line was read. Empty for ordinary coding sequences.
std::vector<std::string> InputWarnings(const std::string& name, const InputSurvey& survey,
                                       std::uint64_t u_letters, bool any_header);

}  // namespace trelba
