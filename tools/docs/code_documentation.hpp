// The variant table, the family key and the --help lines about the variants, written
// from the code's own family tables (and the notes of src/codes/variant_notes.cpp) so
// that the README, the manual page and --help cannot drift from what the analysis does.
#pragma once

#include <string>
#include <vector>

#include "codes/genetic_code.hpp"

namespace trelba {

// The families (stop family included) that `codon` belongs to under `code`, ascending.
std::vector<int> FamiliesOfCodon(const GeneticCode& code, int codon);

// The amino acids of the families whose order value is not 1 - H / ln k of true
// within-family frequencies under variant `number`: those holding a codon that enters
// with its frequency (the code's exempt codons) and those sharing a codon with an earlier
// family. "Trp, Met"; empty when there is none.
std::string FamiliesNotFromEntropy(int number);

// "AGA AGG: Arg here, stop in table 2; ..." or "none".
std::string DifferencesFromNcbi(int number);

// One line per variant for --help, e.g. "  1  vertebrate mitochondria (NCBI table 2,
// except AGA AGG)\n".
std::string VariantHelpLine(int number);

// The blocks that the README (Markdown) and the manual page (roff) hold.
std::string VariantTableMarkdown();
std::string VariantTableRoff();
std::string FamilyKeyMarkdown();
std::string FamilyKeyRoff();
std::string NcbiTablesMarkdown();
std::string NcbiTablesRoff();

// How the families of NCBI table `table` differ from those of table 1, codon by codon:
// "TGA: Trp; ATA: Met; AGA AGG: stop", or "none".
std::string NcbiDeparturesFromStandard(int table);

}  // namespace trelba
