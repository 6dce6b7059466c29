// What the input looked like, for warning the user when it is plainly not coding DNA:
// RNA letters, mostly non-codon triples (a protein file), no header line, a sequence far
// longer than any gene; or when it reads otherwise than its writer may have meant: ';'
// comment lines read as sequence, a '>' inside a line, stop codons inside a gene, letters
// left after the last whole codon.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "input/sequence_facts.hpp"
#include "input/sequence_filters.hpp"
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
  // Sequences whose header marks them as RNA or pseudogenes (kept or left out), with the
  // line of the first one's header.
  std::uint64_t rna_marked = 0;
  std::uint64_t first_rna_line = 0;
  std::uint64_t pseudogenes_marked = 0;
  std::uint64_t first_pseudogene_line = 0;
  // Sequences left out by --cds-only and --min-codons, by reason (sequence_filters.hpp);
  // element 0 unused.
  std::array<std::uint64_t, 6> left_out{};
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

  // One sequence's marks in its header.
  void AddMarks(const SequenceFacts& facts, std::uint64_t line) {
    if (facts.rna && rna_marked++ == 0) first_rna_line = line;
    if (facts.pseudogene && pseudogenes_marked++ == 0) first_pseudogene_line = line;
  }

  std::uint64_t left_out_total() const {
    std::uint64_t total = 0;
    for (const std::uint64_t n : left_out) total += n;
    return total;
  }

  // Adds a later part of the input.
  void Merge(const InputSurvey& other) {
    if (rna_marked == 0) first_rna_line = other.first_rna_line;
    if (pseudogenes_marked == 0) first_pseudogene_line = other.first_pseudogene_line;
    rna_marked += other.rna_marked;
    pseudogenes_marked += other.pseudogenes_marked;
    for (std::size_t k = 0; k < left_out.size(); ++k) left_out[k] += other.left_out[k];
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
// `filters`: those of the run, which the lines about the sequences they would leave out
// name; `first_byte`: the text's first byte that is no whitespace (-1: none), which tells
// what an input without a header was.
std::vector<std::string> InputWarnings(const std::string& name, const InputSurvey& survey,
                                       std::uint64_t u_letters, bool any_header,
                                       const SequenceFilters& filters = {}, int first_byte = 0);

}  // namespace trelba
