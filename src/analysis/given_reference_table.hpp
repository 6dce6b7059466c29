// A reference's table given as a file rather than as genes (input/codon_table_text.hpp),
// and optimal codons given as a file, put in the terms of a ReferenceTable:
// - w of the codons of amino acids of two or more codons (SynonymousCodons); a w below
//   0.0001 is taken as 0.01, as codonW takes it; an amino acid whose codons have no w
//   (NA) is left out of CAI; P (adaptation) from w (UsageFromW);
// - a usage table's counts, when they give its w to its six digits, give w and P exactly
//   (the table of a reference file's own rows);
// - optimal codons: value 3; Fop counts the codons valued 1 to 3 of the amino acids that
//   have an optimal codon, as codonW does.
#pragma once

#include <optional>
#include <string>

#include "analysis/reference_usage.hpp"
#include "analysis/synonymous_codons.hpp"
#include "input/codon_table_text.hpp"

namespace trelba {

// The table of `text`; what is wrong with it otherwise. `counts_kept` tells whether the
// usage table's counts gave it (and are then the reference's).
std::optional<std::string> TableOfText(const SynonymousCodons& synonymous,
                                       const CodonTableText& text, ReferenceTable& table,
                                       bool& counts_kept);

// Replaces the table's optimal codons by those given.
void GiveOptimalCodons(const SynonymousCodons& synonymous, const OptimalCodonsText& codons,
                       ReferenceTable& table);

}  // namespace trelba
