#include "driver/help_text.hpp"

#include <string>

#include "driver/option_table.hpp"

namespace trelba {

const std::string_view kMissingParameterText =
    "Parameter missing.\n"
    "Usage: Trelba filename [genetic_code_number]\n";

const std::string_view kUsageErrorText =
    "Usage: Trelba [options] FILE... | Trelba [options] FILE genetic_code_number\n"
    "Try 'Trelba --help' for more information.\n";

// Before the options.
constexpr std::string_view kHelpHead =
    "Usage: Trelba [options] FILE... | Trelba [options] FILE genetic_code_number\n"
    "Measures how unevenly each coding sequence of FASTA files (plain, gzip, xz,\n"
    "bzip2 or zstd) uses synonymous codons.\n"
    "FILE... are read in turn (\"-\" = standard input, once). Of exactly two, the second\n"
    "is a genetic_code_number unless it names a file (for a variant: --variant N).\n"
    "Of more, all are inputs but a second that is a number (no file); after --, all.\n"
    "\n";

// After the options.
constexpr std::string_view kHelpTail =
    "Standard input needs -o or --no-reports. An input that fails is named on\n"
    "standard error and left out; the others are read, and the status is then 255.\n"
    "\n"
    "Reports:\n"
    "  .freq  codon counts of each sequence\n"
    "  .iik   for each of 21 synonymous families the order value 1 - H/ln k:\n"
    "         0 = its codons used evenly, 1 = one codon only (also 1 = family absent)\n"
    "  .ok    each positive score (the order values weighted by each family's share\n"
    "         of codons), then their average\n"
    "Scores fall with length: evenly used codons score about 0.39 at 50 codons,\n"
    "0.21 at 100 and 0.02 at 1,000. The table's `expected` is the exact mean score of\n"
    "a gene of the same amino acids with codons drawn from the background, `excess`\n"
    "the score less it: compare excesses across genes of any length.\n"
    "\n"
    "genetic_code_number is a variant, not an NCBI table number (default 0; anything\n"
    "but 1 to 7 means 0):\n"
    "  0  standard code: most nuclear genes, bacteria, archaea, plastids (NCBI 1)\n"
    "  1  vertebrate mitochondria (NCBI 2 except AGA AGG)\n"
    "  2  yeast mitochondria (NCBI 3 except CTT CTC CTA CTG AGA AGG)\n"
    "  3  Mycoplasma; mold, protozoan, coelenterate mitochondria (NCBI 4)\n"
    "  4  invertebrate mitochondria (NCBI 5)\n"
    "  5  ciliate, dasycladacean, Hexamita nuclear genes (NCBI 6)\n"
    "  6  euplotid nuclear genes (NCBI 10)\n"
    "  7  echinoderm and flatworm mitochondria (NCBI 9 except AAA)\n"
    "For an NCBI table number use --gcode N. Family key and details: man Trelba.\n";

const std::string& HelpText() {
  static const std::string text = std::string(kHelpHead) + OptionsHelp() + std::string(kHelpTail);
  return text;
}

}  // namespace trelba
