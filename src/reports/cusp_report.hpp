// The codon usage in EMBOSS's format, as its cusp writes it (a --codon-usage name ending
// in .cut): the codons of every input together. "#CdsCount" is the number of stop codons
// (one a complete coding sequence; left out when 0), then the G+C of the codons and of each
// of their positions, then one row per codon: its amino acid under the code's NCBI table,
// its share of its amino acid, per thousand codons and its count, by amino acid letter
// (stops last) and codon. The fixed-point numbers are printed from the same double (or, for
// the percentages, float) operations as cusp's. Codons with a letter other than T, C, A, G
// are not counted (cusp counts them as AAA).
#pragma once

#include "codes/genetic_code.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

void WriteCuspTable(OutputBuffer& out, const GeneticCode& code, const CodonCounts& pooled);

}  // namespace trelba
