#include "driver/help_text.hpp"

namespace trelba {

const std::string_view kMissingParameterText =
    "Parameter missing.\n"
    "Usage: Trelba filename [genetic_code_number]\n";

const std::string_view kHelpText =
    "Usage: Trelba filename [genetic_code_number]\n"
    "       Trelba --help | -h | --version\n"
    "\n"
    "Measures how unevenly each coding sequence of a FASTA file (plain, or compressed\n"
    "with gzip, xz, bzip2 or zstd) uses synonymous codons: for each of 21 synonymous\n"
    "families the order value 1 - H / ln k (H the Shannon entropy of the family's codon\n"
    "frequencies, k its number of codons), and per sequence a score, the order values\n"
    "weighted by each family's share of the sequence's codons.\n"
    "\n"
    "Reports, written beside the input:\n"
    "  filename.freq  codon counts of each sequence, as a 16-line codon table\n"
    "  filename.iik   order value of each family of each sequence\n"
    "  filename.ok    each positive score, then \"average = \" and their mean\n"
    "\n"
    "Genetic codes (default 0; any argument other than 1 to 7 means 0):\n"
    "  0  standard code\n"
    "  1  TGA is Trp, ATA is Met\n"
    "  2  as 1; AGA and AGG are also stops; leucine is TTA TTG only\n"
    "  3  TGA is Trp\n"
    "  4  as 1; AGA and AGG are Ser\n"
    "  5  TAA and TAG are Gln; TGA is the only stop\n"
    "  6  TGA is Cys\n"
    "  7  TGA is Trp; AGA and AGG are Ser; AAA joins GAT GAC, lysine is AAG only\n";

}  // namespace trelba
