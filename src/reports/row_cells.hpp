// What the cells of one row of each output are written from: plain structs of references
// and numbers, filled where the row is made and read by the catalog's cell writers
// (column_catalog.cpp).
#pragma once

#include <cstdint>
#include <string_view>

#include "analysis/coding_checks.hpp"
#include "analysis/correspondence_analysis.hpp"
#include "analysis/dinucleotide_ratios.hpp"
#include "analysis/gene_composition.hpp"
#include "analysis/reference_usage.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/sequence_facts.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct OrderTexts;

// A sequence's numbers of the groups --columns adds, made for the groups the table has.
struct GroupCells {
  GeneComposition composition;
  double enc_ratio = 0.0;
  DinucleotideRatios dinucleotides{};
  CodonValues rscu{};
  FamilyValues amino_acids{};
};

// One sequence of the table, as it is analysed.
struct SequenceCells {
  const GeneticCode& code;
  std::string_view file;
  SequenceNumber number = 0;
  std::string_view id;
  const CodonCounts& counts;
  const SequenceFacts& facts;
  const SequenceAnalysis& analysis;
  const OrderTexts& order;
  double expected;  // the expected score; NaN without a background
  const CodingChecks& checks;
  double enc;       // the effective number of codons
  double excess_z;  // the excess over its standard deviation under the background
  double tai;       // the tRNA adaptation index; NaN without --trna
  const GroupCells& groups;
};

// One sequence of the table once its input is read whole.
struct WholeInputCells {
  GeneIndices reference;  // against the reference set
  bool in_reference = false;
  double cbi = 0.0;           // the codon bias index with the reference's optimal codons
  double excess_p = 0.0;      // the excess's upper p-value
  double adaptation_p = 0.0;  // adaptation's upper p-value
  CoaAxes coa{};              // its coordinates in the input's correspondence analysis
};

// One input of the summary.
struct SummaryCells {
  std::string_view file;
  std::string_view error;  // empty for an input read to its end
  // Of an input read to its end: "ok", or what an input that gave no sequence was
  // ("empty", "binary", "fastq", "text", "no_cds"), with the message that says so.
  std::string_view status = "ok";
  std::string_view message;
  std::uint64_t sequences = 0;
  std::uint64_t codons = 0;
  double average = 0.0;
  double median_score = 0.0;
  double median_excess = 0.0;
  double gc = 0.0;
  double gc3 = 0.0;
  std::uint64_t internal_stop_sequences = 0;
  std::uint64_t partial_sequences = 0;
  std::uint64_t comment_lines = 0;
  std::uint64_t inline_headers = 0;
  double median_enc = 0.0;
  double gc3s = 0.0;
  // With --coa: each axis's share of the input's total inertia.
  CoaAxes coa_inertia{};
  // With a reference set (NaN where a number does not apply):
  std::string_view reference;
  std::uint64_t reference_genes = 0;
  bool reference_genes_known = true;  // false for a table of w
  double reference_rounds = 0.0;
  double reference_s = 0.0;
  double starts_agree = 0.0;
  double median_cai = 0.0;
  double median_fop = 0.0;
  double median_adaptation = 0.0;
  // Left out (--cds-only, --min-codons): sequences marked as RNA, marked as pseudogenes or
  // CDS features marked pseudo, with stops inside, of a length off the frame, too short;
  // and CDS features of an annotation left out for another reason.
  std::uint64_t left_rna = 0;
  std::uint64_t left_pseudogenes = 0;
  std::uint64_t left_stops = 0;
  std::uint64_t left_frame = 0;
  std::uint64_t left_short = 0;
  std::uint64_t left_features = 0;
  // How the reference set found stands against chance and GC3s (NaN for a file).
  double reference_strength = 0.0;
  double chance_strength = 0.0;
  double chance_z = 0.0;
  double reference_gc3s = 0.0;
  double gc3s_above = 0.0;
  std::string_view reference_route;  // names or codons (auto), or file
};

// One codon of one input (or reference set) in the codon usage.
struct CodonUsageCells {
  std::string_view file;
  int codon = 1;
  std::string_view amino_acid;  // its name, or "stop"
  std::uint64_t count = 0;
  double per_thousand = 0.0;  // NaN when no codon was counted
  double rscu = 0.0;          // NaN when no codon of its amino acid was counted
  // Against a reference: w (NaN where CAI reads none), and 1 or 0 for an optimal codon, -1
  // for NA (the reference's own rows).
  double w = 0.0;
  int optimal = 0;
  std::string_view contrast;  // what the optimal codons were found against; empty for NA
  // With --coa: its coordinates (its amino acid's) in the input's correspondence analysis.
  CoaAxes coa{};
};

// One input of the summary once every input is read: its coordinates in the analysis of the
// inputs themselves.
struct WholeRunCells {
  CoaAxes inputs_coa{};
};

}  // namespace trelba
