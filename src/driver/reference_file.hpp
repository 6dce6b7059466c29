// The reference the options give, read once before the inputs: --reference FILE, a FASTA
// file of highly expressed genes or a table of w (a codon usage table that --codon-usage
// wrote, or codonW's cai_file), and --optimal-codons FILE (codonW's fop_file or a list of
// codons). A FASTA file's genes are kept by sequence, to be found in the inputs
// (driver/reference_genes.hpp); its table (analysis/reference_usage.hpp) is made once
// its genome is known (driver/reference_genome.hpp).
#pragma once

#include <optional>
#include <string>

#include "analysis/reference_usage.hpp"
#include "analysis/synonymous_codons.hpp"
#include "driver/options.hpp"
#include "driver/reference_genes.hpp"
#include "input/codon_table_text.hpp"
#include "trelba/failure_cause.hpp"

namespace trelba {

// What the codon usage's `contrast` says when the optimal codons were given, and when no
// input held the reference's genes.
inline constexpr std::string_view kGivenContrast = "given";
inline constexpr std::string_view kAllInputsContrast = "all inputs";

struct ReferenceFile {
  std::string name;                     // as messages and the summary give it
  bool genes_given = false;             // a FASTA file (else a table of w)
  CodonCounts pooled{};                 // its genes' codons added up; a table's counts, when kept
  bool counts_known = false;            // `pooled` holds the reference's counts
  std::uint64_t genes = 0;              // of a FASTA file
  ReferenceGenes identities;            // a FASTA file's genes by sequence
  std::optional<ReferenceTable> table;  // once made, for the whole run
  std::string contrast;                 // what its optimal codons were found against
};

// Reads the reference file of the options, and --optimal-codons when given (into
// `optimal`); the error line when one cannot be read. Warns once of the amino acids the
// reference lacks, which CAI leaves out. A table of w with --optimal-codons, or a FASTA
// file with it, has its table made here.
std::optional<std::string> ReadReferenceFile(const Options& options,
                                             const SynonymousCodons& synonymous,
                                             ReferenceFile& reference,
                                             std::optional<OptimalCodonsText>& optimal,
                                             FailureCause* cause = nullptr);

// Reads --optimal-codons FILE; the error line when it cannot be read.
std::optional<std::string> ReadOptimalCodonsFile(const Options& options,
                                                 std::optional<OptimalCodonsText>& optimal,
                                                 FailureCause* cause = nullptr);

// The table of the genes `reference` against `rest`, with the optimal codons given
// (`optimal`) instead of found when there are.
ReferenceTable MakeReferenceTable(const SynonymousCodons& synonymous, const CodonCounts& reference,
                                  const CodonCounts& rest,
                                  const std::optional<OptimalCodonsText>& optimal);

// `whole` less `part`, codon by codon.
CodonCounts CountsLess(const CodonCounts& whole, const CodonCounts& part);

}  // namespace trelba
