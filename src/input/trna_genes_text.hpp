// The tRNA genes of a genome, read from the text of a tRNA gene finder, as the number of
// genes whose anticodon reads each codon by Watson-Crick pairing (the anticodon's reverse
// complement): tRNAscan-SE's tabular output (its three header lines, then one tab-separated
// line a gene, the type in the fifth field and the anticodon in the sixth; pseudogenes,
// "Pseudo" in the type or "pseudo" in a later field, left out), or ARAGORN's, its default
// output or -w's (each gene's "tRNA-Xxx" with its anticodon in parentheses after it on the
// line). A gene whose anticodon is not three bases (NNN, ???) is left out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "trelba/codons_and_families.hpp"

namespace trelba {

struct TrnaGenes {
  CodonCounts reading{};    // genes by the codon their anticodon reads
  std::uint64_t genes = 0;  // genes counted
  bool trnascan = false;    // read as tRNAscan-SE's output (else ARAGORN's)
};

// Reads `text`; what is wrong with it otherwise (no gene found).
std::optional<std::string> ReadTrnaGenes(std::string_view text, TrnaGenes& genes);

}  // namespace trelba
