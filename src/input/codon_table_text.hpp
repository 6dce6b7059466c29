// The tables of codons a reference can be given as, read from their text:
// - a codon usage table as --codon-usage writes it: tab-separated, a header row naming at
//   least `codon`, `w` and `optimal` (`file` and `count` read when there), 64 rows a file;
//   the first file's rows are taken, and any other file's must give the same w and
//   optimal codons;
// - codonW's cai_file: the 64 values of w in codonW's codon order (first base, third base,
//   second base, each T, C, A, G), separated by blanks, commas or line ends;
// - codonW's fop_file: 64 values in the same order, 3 for an optimal codon, 2 for a
//   non-optimal one, 1 for a rare one, 0 for one left out; or a list of optimal codons
//   (T or U), separated by blanks, commas or line ends.
// A line starting with '#' is a comment in the last two.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "trelba/codons_and_families.hpp"

namespace trelba {

struct CodonTableText {
  bool usage_table = false;  // the codon usage table (else a cai_file)
  std::string file;          // the usage table's file whose rows were taken
  CodonValues w{};
  std::array<bool, kCodonCount + 1> has_w{};  // false for NA
  bool has_optimal = false;                   // the usage table's optimal column
  std::array<bool, kCodonCount + 1> optimal{};
  bool has_counts = false;  // the usage table's count column
  CodonCounts counts{};
};

// Whether `text` (its first bytes will do) looks like one of the tables rather than FASTA:
// a header row with a `codon` column, or a number first.
bool LooksLikeCodonTable(std::string_view text);

// Reads a usage table or a cai_file; what is wrong with it otherwise.
std::optional<std::string> ReadCodonTable(std::string_view text, CodonTableText& table);

// The optimal codons of a fop_file or a list: each codon's value 0-3 (a list gives 3 to
// its codons and 2 to the rest), and whether a list was read.
struct OptimalCodonsText {
  std::array<std::uint8_t, kCodonCount + 1> value{};
  bool list = false;
};
std::optional<std::string> ReadOptimalCodons(std::string_view text, OptimalCodonsText& codons);

// codonW's position (0-63) of each codon index.
std::size_t CodonwPosition(std::size_t codon);

}  // namespace trelba
