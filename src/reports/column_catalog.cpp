#include "reports/column_catalog.hpp"

#include <algorithm>
#include <array>

#include "analysis/synonymous_codons.hpp"
#include "input/codon_index.hpp"
#include "reports/catalog_walk.hpp"
#include "reports/order_texts.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {
namespace {

using enum ColumnGroup;
using enum ColumnType;
using Sequence = SequenceCells;
using WholeInput = WholeInputCells;
using Summary = SummaryCells;
using CodonUsage = CodonUsageCells;
using WholeRun = WholeRunCells;
using enum ColumnShape;

constexpr std::string_view kNoCodon = "no codon was counted";

// The four axes' numbers, tab-separated.
char* WriteAxes(char* p, const CoaAxes& axes) {
  p = WriteNumberOrNa(p, axes[0]);
  for (std::size_t k = 1; k < kCoaAxes; ++k) {
    *p++ = '\t';
    p = WriteNumberOrNa(p, axes[k]);
  }
  return p;
}

constexpr std::string_view kNoAxis =
    "the analysis has no such axis (it needs two genes and two columns with codons in it, and "
    "an axis needs inertia)";

// Family f's order value as the family order report spells it, or NA.
char* WriteOrderValue(char* p, const Sequence& s, std::size_t f) {
  const bool available = s.code.divisor[f] != 0 && s.analysis.totals[f] != 0.0;
  return available ? CopyOrderText(p, s.order, f) : WriteNotAvailable(p);
}

// The table's columns known as a sequence is analysed, in order.
constexpr CatalogColumn<Sequence> kSequenceColumns[] = {
    {{"file", kFile, kText, "the input as it was given (standard input: -, or --label)", ""},
     nullptr,
     [](const Sequence& s) { return s.file; }},
    {{"seq", kCore, kInteger,
      "the sequence's number in the input, as in the count report's sequence# labels", ""},
     [](char* p, const Sequence& s) { return WriteInteger(p, s.number); }},
    {{"id", kCore, kText, "the header's first word: the text after > up to the first blank", ""},
     nullptr,
     [](const Sequence& s) { return s.id; }},
    {{"codons", kCore, kInteger, "codons counted: whole triples of T, C, A and G", ""},
     [](char* p, const Sequence& s) { return WriteInteger(p, s.checks.codons); }},
    {{"score", kCore, kNumber,
      "the order values of the sequence's families weighted by their shares of its codons, as "
      "in the score report (listed here whatever its sign)",
      "no codon falls in a family of two or more codons"},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, s.analysis.score); }},
    {{"Phe ... Gly", kCore, kNumber,
      "each family's order value 1 - H / ln k, as in the family order report: 0 when its codons "
      "are used evenly, 1 when one codon only is used",
      "no codon of the family was counted, or the family has one codon under the code",
      ColumnShape::kFamilies},
     [](char* p, const Sequence& s) {
       p = WriteOrderValue(p, s, 1);
       for (std::size_t f = 2; f <= kFamilyCount; ++f) {
         if (f == kStopFamily) continue;
         *p++ = '\t';
         p = WriteOrderValue(p, s, f);
       }
       return p;
     }},
    {{"expected", kCore, kNumber,
      "the exact mean score of a sequence with the same amino acids whose codons are drawn from "
      "the background (--background)",
      "the score is NA"},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, s.expected); }},
    {{"excess", kCore, kNumber,
      "score - expected: how much more unevenly the sequence uses its codons than chance would, "
      "comparable across lengths",
      "the score is NA"},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, s.analysis.score - s.expected); }},
    {{"gc", kCore, kNumber, "the share of G and C among the counted codons' bases", kNoCodon},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, GcContent(s.checks)); }},
    {{"gc3", kCore, kNumber, "the share of G and C at the counted codons' third positions",
      kNoCodon},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, Gc3Content(s.checks)); }},
    {{"internal_stops", kCore, kInteger, "stop codons before the last codon", ""},
     [](char* p, const Sequence& s) { return WriteInteger(p, s.checks.internal_stops); }},
    {{"partial", kCore, kInteger, "letters after the last whole triple (0, 1 or 2)", ""},
     [](char* p, const Sequence& s) { return WriteInteger(p, s.facts.partial_letters); }},
    {{"TTT ... GGG", kCounts, kInteger, "the 64 codon counts, as in the count report", "",
      ColumnShape::kCodons},
     [](char* p, const Sequence& s) {
       p = WriteInteger(p, s.counts[1]);
       for (std::size_t c = 2; c <= kCodonCount; ++c) {
         *p++ = '\t';
         p = WriteInteger(p, s.counts[c]);
       }
       return p;
     }},
    {{"description", kDescription, kText, "the rest of the header after its first word", ""},
     nullptr,
     [](const Sequence& s) { return s.facts.description; }},
    {{"enc", kCore, kNumber,
      "the effective number of codons (Wright 1990): from 20 when each amino acid uses one "
      "codon to the number of sense codons (61 in the standard code) when all are used evenly",
      "a class of amino acids of the same number of codons has none used twice or more (the "
      "three-codon class takes the mean of the two- and four-codon classes)"},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, s.enc); }},
    {{"gc3s", kCore, kNumber,
      "the share of G and C at the third positions of codons of amino acids with two or more "
      "codons, stops left out",
      "there is no such codon"},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, Gc3s(s.checks.thirds)); }},
    {{"excess_z", kCore, kNumber,
      "how far the excess is from chance: the excess over the standard deviation of the score "
      "of a sequence of the same amino acids whose codons are drawn from the background "
      "(exact); for flagging a gene, not for ranking: it grows almost in proportion to length "
      "(in E. coli a median of 1.3 at 100 codons or fewer, 31.9 beyond 800); the score's "
      "distribution is skewed, its upper tail a little heavier (excess_p, with a reference, is "
      "its p-value)",
      "the excess is NA, or the score cannot vary (no family with a choice)"},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, s.excess_z); }},
    {{"tai", kTrna, kNumber,
      "the tRNA adaptation index (dos Reis et al. 2004): the geometric mean of the weights of "
      "the sequence's codons, each from the genes of the tRNAs that read it (--trna)",
      "no codon but stops and Met"},
     [](char* p, const Sequence& s) { return WriteNumberOrNa(p, s.tai); }},
};

constexpr std::string_view kNoAminoAcid = "no codon of an amino acid was counted";

// A number of the sequence's groups (--columns) at `p`.
template <auto kField>
char* WriteGroupNumber(char* p, const Sequence& s) {
  return WriteNumberOrNa(p, kField(s.groups));
}

// The columns of the groups --columns adds, each after those of the sequence.
constexpr CatalogColumn<Sequence> kGroupColumns[] = {
    {{"gc1", kComposition, kNumber,
      "the share of G and C at the first positions of the codons of amino acids (stops left "
      "out; the start codon counts as its amino acid, as in codonW)",
      kNoAminoAcid},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.gc1; }>},
    {{"gc2", kComposition, kNumber, "the same at their second positions", kNoAminoAcid},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.gc2; }>},
    {{"gc12", kComposition, kNumber,
      "the same at their first and second positions together: the neutrality plot's axis "
      "against gc3s",
      kNoAminoAcid},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.gc12; }>},
    {{"t3s", kComposition, kNumber,
      "the share of synonymous codons ending in T among those of the amino acids that have a "
      "codon ending in T (codonW's T3s)",
      "no codon of such an amino acid was counted"},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.third_shares[kBaseT]; }>},
    {{"c3s", kComposition, kNumber, "the same for C (codonW's C3s)",
      "no codon of such an amino acid was counted"},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.third_shares[kBaseC]; }>},
    {{"a3s", kComposition, kNumber, "the same for A (codonW's A3s)",
      "no codon of such an amino acid was counted"},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.third_shares[kBaseA]; }>},
    {{"g3s", kComposition, kNumber, "the same for G (codonW's G3s)",
      "no codon of such an amino acid was counted"},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.third_shares[kBaseG]; }>},
    {{"l_sym", kComposition, kInteger,
      "codons of amino acids of two or more codons, stops left out (codonW's L_sym)", ""},
     [](char* p, const Sequence& s) { return WriteInteger(p, s.groups.composition.l_sym); }},
    {{"l_aa", kComposition, kInteger, "codons of amino acids, stops left out (codonW's L_aa)", ""},
     [](char* p, const Sequence& s) { return WriteInteger(p, s.groups.composition.l_aa); }},
    {{"gravy", kComposition, kNumber,
      "the mean hydropathy (Kyte & Doolittle 1982) of the amino acids the codons stand for",
      kNoAminoAcid},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.gravy; }>},
    {{"aromo", kComposition, kNumber,
      "the share of the codons of amino acids that stand for Phe, Tyr or Trp (aromaticity)",
      kNoAminoAcid},
     WriteGroupNumber<[](const GroupCells& g) { return g.composition.aromatic; }>},
    {{"enc_ratio", kComposition, kNumber,
      "(expected - enc) / expected, expected the ENC of Wright's curve at the gene's GC3s s, "
      "2 + s + 29 / (s^2 + (1 - s)^2): the ENC plot's ratio, above 0 for a gene more biased "
      "than its GC3s explains",
      "enc or gc3s is NA"},
     WriteGroupNumber<[](const GroupCells& g) { return g.enc_ratio; }>},
    {{"cpg_oe", kDinucleotides, kNumber,
      "CpG observed over expected over all pairs of adjacent bases: the pairs' share that is "
      "CG over the product of the shares of pairs beginning with C and ending with G",
      "no pair begins with C or none ends with G"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[0]; }>},
    {{"tpa_oe", kDinucleotides, kNumber, "the same for TpA (UpA)",
      "no pair begins with T or none ends with A"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[1]; }>},
    {{"cpg12_oe", kDinucleotides, kNumber,
      "CpG observed over expected over the pairs at codon positions 1-2",
      "no such pair begins with C or none ends with G"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[2]; }>},
    {{"tpa12_oe", kDinucleotides, kNumber, "TpA likewise at positions 1-2",
      "no such pair begins with T or none ends with A"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[3]; }>},
    {{"cpg23_oe", kDinucleotides, kNumber, "CpG likewise at positions 2-3",
      "no such pair begins with C or none ends with G"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[4]; }>},
    {{"tpa23_oe", kDinucleotides, kNumber, "TpA likewise at positions 2-3",
      "no such pair begins with T or none ends with A"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[5]; }>},
    {{"cpg31_oe", kDinucleotides, kNumber,
      "CpG likewise at positions 3-1: a codon's last base and the next codon's first",
      "no such pair begins with C or none ends with G"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[6]; }>},
    {{"tpa31_oe", kDinucleotides, kNumber, "TpA likewise at positions 3-1",
      "no such pair begins with T or none ends with A"},
     WriteGroupNumber<[](const GroupCells& g) { return g.dinucleotides[7]; }>},
    {{"rscu_TTT ... rscu_GGG", kRscu, kNumber,
      "each codon's relative synonymous codon usage in the sequence: its count times its amino "
      "acid's number of codons over the amino acid's count (the stops as one amino acid)",
      "no codon of its amino acid was counted", ColumnShape::kCodonRscu},
     [](char* p, const Sequence& s) {
       p = WriteNumberOrNa(p, s.groups.rscu[1]);
       for (std::size_t c = 2; c <= kCodonCount; ++c) {
         *p++ = '\t';
         p = WriteNumberOrNa(p, s.groups.rscu[c]);
       }
       return p;
     }},
    {{"aa_Phe ... aa_Gly", kAminoAcids, kNumber,
      "each amino acid's share of the codons of amino acids (codonW's -raau)", kNoAminoAcid,
      ColumnShape::kAminoAcidShares},
     [](char* p, const Sequence& s) {
       p = WriteNumberOrNa(p, s.groups.amino_acids[1]);
       for (std::size_t f = 2; f <= kFamilyCount; ++f) {
         if (f == kStopFamily) continue;
         *p++ = '\t';
         p = WriteNumberOrNa(p, s.groups.amino_acids[f]);
       }
       return p;
     }},
};

// The table's columns that need the whole input, in order: each row's follow its columns
// of the sequence.
constexpr CatalogColumn<WholeInput> kWholeInputColumns[] = {
    {{"cai", kReference, kNumber,
      "the codon adaptation index (Sharp & Li 1987) against the reference set: the geometric "
      "mean of the relative adaptiveness w of the sequence's codons",
      "no codon of an amino acid the reference holds (of two or more codons)"},
     [](char* p, const WholeInput& w) { return WriteNumberOrNa(p, w.reference.cai); }},
    {{"fop", kReference, kNumber,
      "the frequency of optimal codons (Ikemura 1981): the sequence's optimal codons over its "
      "codons of the amino acids that have one",
      "no codon of an amino acid that has an optimal codon"},
     [](char* p, const WholeInput& w) { return WriteNumberOrNa(p, w.reference.fop); }},
    {{"adaptation", kReference, kNumber,
      "the log-odds per codon of the sequence's codons under the reference's usage against the "
      "input's: above 0 for a gene that prefers the reference's codons; the column to rank by",
      "no codon of an amino acid of two or more codons"},
     [](char* p, const WholeInput& w) { return WriteNumberOrNa(p, w.reference.adaptation); }},
    {{"adaptation_z", kReference, kNumber,
      "how far adaptation is from chance, in standard deviations: each codon drawn from the "
      "input's usage of its amino acid",
      "the null variance is 0: no amino acid with a choice, or in each of the sequence's the "
      "same log-odds for every codon the input holds (the sequence its own reference, say)"},
     [](char* p, const WholeInput& w) { return WriteNumberOrNa(p, w.reference.adaptation_z); }},
    {{"in_reference", kReference, kFlag,
      "1 for the genes of the reference set: found in the input (--reference auto), or the "
      "same in sequence as a gene of the reference file; else 0",
      ""},
     [](char* p, const WholeInput& w) {
       *p = w.in_reference ? '1' : '0';
       return p + 1;
     }},
    {{"cbi", kCompositionReference, kNumber,
      "the codon bias index (Bennetzen & Hall 1982) with the reference's optimal codons (those "
      "of fop): (optimal - expected) / (codons - expected) over the codons of the amino acids "
      "that have an optimal codon, expected the optimal codons of even use",
      "no codon of an amino acid that has an optimal codon"},
     [](char* p, const WholeInput& w) { return WriteNumberOrNa(p, w.cbi); }},
    {{"excess_p", kReference, kNumber,
      "the one-sided p-value of the excess: for a short sequence the saddlepoint approximation "
      "of the share at or above the score of the score's exact distribution when its codons "
      "are drawn from the background, its amino acids kept; for a longer one the share at or "
      "above the score of a beta distribution between 0 and the highest score the sequence's "
      "amino acids allow, with the score's exact mean and variance under the background "
      "(those of expected and excess_z); below 0.05 for about 5 % of genes whose codons are "
      "drawn from the background, at every length",
      "the excess is NA, or the score cannot vary"},
     [](char* p, const WholeInput& w) { return WriteNumberOrNa(p, w.excess_p); }},
    {{"adaptation_p", kReference, kNumber,
      "the one-sided p-value of adaptation: the chance that a gene of the same amino acids, "
      "each codon drawn from the input's usage of its amino acid, scores as high or higher "
      "(a saddlepoint approximation of the exact null); below 0.05 for about 5 % of such "
      "genes, at every length",
      "the null variance is 0 (no amino acid with a choice)"},
     [](char* p, const WholeInput& w) { return WriteNumberOrNa(p, w.adaptation_p); }},
    {{"coa1 ... coa4", kCoa, kNumber,
      "the gene's coordinates on the first four axes of the input's correspondence analysis "
      "(--coa): its row profile times the columns' standard coordinates, as codonW's "
      "genes.coa; the genes of lower ENC lie on each axis's positive side",
      "the gene has no codon in the analysis, or the input's analysis has no such axis", kAxes},
     [](char* p, const WholeInput& w) { return WriteAxes(p, w.coa); }},
};

constexpr std::string_view kFailedInput = "the input failed";

constexpr CatalogColumn<Summary> kSummaryColumns[] = {
    {{"file", kCore, kText, "the input as it was given (standard input: -, or --label)", ""},
     nullptr,
     [](const Summary& s) { return s.file; },
     true},
    {{"status", kCore, kText,
      "ok; error when the input could not be read to its end; what an input that gave no "
      "sequence was: empty, binary, fastq, text (none of FASTA, GenBank, EMBL, GFF3), no_cds "
      "(an annotation without CDS)",
      ""},
     nullptr,
     [](const Summary& s) { return s.error.empty() ? s.status : std::string_view("error"); },
     true},
    {{"sequences", kCore, kInteger, "sequences (header lines) read", kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.sequences); }},
    {{"codons", kCore, kInteger, "codons counted in all of them", kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.codons); }},
    {{"average", kCore, kNumber,
      "the average of the positive scores, as on the score report's last line",
      "the input failed, or no score is positive"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.average); }},
    {{"median_score", kCore, kNumber, "the median of the scores that are numbers",
      "the input failed, or no score is a number"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.median_score); }},
    {{"median_excess", kCore, kNumber, "the median of the excesses that are numbers",
      "the input failed, or no excess is a number"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.median_excess); }},
    {{"gc", kCore, kNumber, "the share of G and C among the bases of all counted codons",
      "the input failed, or no codon was counted"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.gc); }},
    {{"gc3", kCore, kNumber, "the share of G and C at the third positions of all counted codons",
      "the input failed, or no codon was counted"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.gc3); }},
    {{"internal_stop_sequences", kCore, kInteger,
      "sequences with stop codons before their last codon", kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.internal_stop_sequences); }},
    {{"partial_sequences", kCore, kInteger, "sequences whose length is not a multiple of 3",
      kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.partial_sequences); }},
    {{"comment_lines", kCore, kInteger, "lines starting with ';', read as sequence letters",
      kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.comment_lines); }},
    {{"inline_headers", kCore, kInteger, "'>' characters inside a line, each starting a sequence",
      kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.inline_headers); }},
    {{"message", kCore, kText,
      "the error line when the input failed, what the status says when it gave no sequence, "
      "else empty",
      ""},
     nullptr,
     [](const Summary& s) { return s.error.empty() ? s.message : s.error; },
     true},
    {{"median_enc", kCore, kNumber, "the median of the sequences' effective numbers of codons",
      "the input failed, or no ENC is a number"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.median_enc); }},
    {{"gc3s", kCore, kNumber,
      "the share of G and C at the third positions of all synonymous codons (those of amino "
      "acids with two or more codons, stops left out)",
      "the input failed, or there is no such codon"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.gc3s); }},
    {{"reference", kReference, kText,
      "the reference set: the file given, auto:names for the genes the headers name as the "
      "translation machinery, auto:homology for the genes whose proteins resemble it, or "
      "auto:A or auto:B for the set found in the input by codons from the start that was "
      "chosen (auto when none was found)",
      kFailedInput},
     nullptr,
     [](const Summary& s) { return s.reference; }},
    {{"reference_genes", kReference, kInteger, "the genes of the reference set",
      "the input failed, or the reference is a table of w"},
     [](char* p, const Summary& s) {
       return s.reference_genes_known ? WriteInteger(p, s.reference_genes) : WriteNotAvailable(p);
     }},
    {{"reference_rounds", kReference, kInteger,
      "the rounds the search for the reference set took (auto)",
      "the input failed, a reference file was given, or no set was found"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.reference_rounds); }},
    {{"reference_s", kReference, kNumber,
      "the sign statistic of the reference: sum over Phe, Tyr, Ile and Asn of ln((R_C / R_T) / "
      "(N_C / N_T)), positive when the reference prefers the C-ending codons more than the "
      "input does, as highly expressed genes do",
      "the input failed, no set was found, the reference is a table of w, or the code has none "
      "of those amino acids with C- and T-ending codons"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.reference_s); }},
    {{"starts_agree", kReference, kNumber,
      "the share of genes the references found from the two starts have in common (auto)",
      "the input failed, a reference file was given, or no set was found"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.starts_agree); }},
    {{"median_cai", kReference, kNumber, "the median CAI of the input's sequences",
      "the input failed, or no CAI is a number"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.median_cai); }},
    {{"median_fop", kReference, kNumber, "the median Fop of the input's sequences",
      "the input failed, or no Fop is a number"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.median_fop); }},
    {{"median_adaptation", kReference, kNumber, "the median adaptation of the input's sequences",
      "the input failed, or no adaptation is a number"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.median_adaptation); }},
    {{"left_rna", kLeftOut, kInteger, "sequences --cds-only left out as marked RNA in the header",
      kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.left_rna); }},
    {{"left_pseudogenes", kLeftOut, kInteger,
      "sequences --cds-only left out as pseudogenes ([pseudo=true]), and CDS features of an "
      "annotation left out as /pseudo, /pseudogene or pseudo=true",
      kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.left_pseudogenes); }},
    {{"left_stops", kLeftOut, kInteger,
      "sequences --cds-only left out for stop codons before their last codon", kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.left_stops); }},
    {{"left_frame", kLeftOut, kInteger,
      "sequences --cds-only left out for a length not a multiple of 3", kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.left_frame); }},
    {{"left_short", kLeftOut, kInteger, "sequences --min-codons left out", kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.left_short); }},
    {{"left_features", kLeftOut, kInteger,
      "CDS features of an annotation left out: in another record, past their sequence, on a "
      "sequence the genome lacks, or of a location that cannot be read",
      kFailedInput},
     [](char* p, const Summary& s) { return WriteInteger(p, s.left_features); }},
    {{"reference_strength", kReference, kNumber,
      "how far the reference set's usage is from the input's: the mean over its codons of "
      "amino acids with a choice of ln(P_c / Q_c), P the set's share of c in its amino acid, "
      "Q the input's (auto)",
      "a reference file was given, or no set was found"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.reference_strength); }},
    {{"chance_strength", kReference, kNumber,
      "the mean reference_strength of the sets the same search finds in 5 copies of the input "
      "whose codons are drawn at random, each from the input's usage of its amino acid "
      "(seeded: the same copies every run; auto); for a set named in the headers or found by "
      "homology, of its own "
      "genes in those copies",
      "a reference file was given, or no set was found"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.chance_strength); }},
    {{"chance_z", kReference, kNumber,
      "(reference_strength - chance_strength) / the standard deviation of the copies' "
      "strengths: below 3 the set is no stronger than one found by chance (auto)",
      "a reference file was given, no set was found, or the copies' strengths do not vary"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.chance_z); }},
    {{"reference_gc3s", kReference, kNumber,
      "the GC3s of the reference set's codons, beside the input's gc3s (auto)",
      "a reference file was given, no set was found, or it has no synonymous codon"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.reference_gc3s); }},
    {{"gc3s_above", kReference, kNumber,
      "the share of the input's sequences of 80 or more codons of amino acids with a choice "
      "whose GC3s is at or above reference_gc3s: 0.05 or less, the set is the tail of GC3s "
      "(auto)",
      "a reference file was given, or no set was found"},
     [](char* p, const Summary& s) { return WriteNumberOrNa(p, s.gc3s_above); }},
    {{"reference_route", kReference, kText,
      "how the reference set was taken: names (auto: the 20 or more genes whose headers name "
      "a cytosolic ribosomal protein or translation elongation factor), homology (auto: the 20 "
      "or more genes whose proteins resemble the shipped panel of them, where fewer are "
      "named), codons (auto: the search by codons, where fewer are found either way), or file",
      kFailedInput},
     nullptr,
     [](const Summary& s) { return s.reference_route; }},
    {{"coa_inertia1 ... coa_inertia4", kCoa, kNumber,
      "each axis's share of the total inertia of the input's correspondence analysis (--coa), "
      "as codonW's eigen.coa",
      "the input failed, or its analysis has no such axis (it needs two genes and two columns "
      "with codons in it, and an axis needs inertia)",
      kAxes},
     [](char* p, const Summary& s) { return WriteAxes(p, s.coa_inertia); }},
};

// The summary's columns that need every input, in order: each row's follow its other
// columns.
constexpr CatalogColumn<WholeRun> kWholeRunColumns[] = {
    {{"inputs_coa1 ... inputs_coa4", kInputsCoa, kNumber,
      "the input's coordinates in the correspondence analysis of the inputs themselves "
      "(--coa with three or more inputs: each input's pooled counts a row, of the same kind), "
      "the view that compares them",
      "the input failed, or the analysis of the inputs has no such axis", kAxes},
     [](char* p, const WholeRun& w) { return WriteAxes(p, w.inputs_coa); }},
};

constexpr CatalogColumn<CodonUsage> kCodonUsageColumns[] = {
    {{"file", kCore, kText, "the input, or the reference file, as it was given", ""},
     nullptr,
     [](const CodonUsage& u) { return u.file; }},
    {{"codon", kCore, kText, "the codon, TTT to GGG", ""},
     [](char* p, const CodonUsage& u) {
       constexpr std::string_view kBases = "TCAG";
       const int c = u.codon - 1;
       p[0] = kBases[static_cast<std::size_t>(c >> 4)];
       p[1] = kBases[static_cast<std::size_t>((c >> 2) & 3)];
       p[2] = kBases[static_cast<std::size_t>(c & 3)];
       return p + 3;
     }},
    {{"amino_acid", kCore, kText,
      "its amino acid under the code's NCBI table (Phe ... Gly), or stop", ""},
     nullptr,
     [](const CodonUsage& u) { return u.amino_acid; }},
    {{"count", kCore, kInteger, "how often the codon was counted in all the sequences", ""},
     [](char* p, const CodonUsage& u) { return WriteInteger(p, u.count); }},
    {{"per_thousand", kCore, kNumber, "count per 1,000 counted codons", "no codon was counted"},
     [](char* p, const CodonUsage& u) { return WriteNumberOrNa(p, u.per_thousand); }},
    {{"rscu", kCore, kNumber,
      "relative synonymous codon usage: count times the amino acid's number of codons over the "
      "amino acid's count (1 for even use)",
      "no codon of the amino acid was counted"},
     [](char* p, const CodonUsage& u) { return WriteNumberOrNa(p, u.rscu); }},
    {{"w", kReference, kNumber, "the codon's relative adaptiveness in the reference set (CAI)",
      "the codon is a stop, its amino acid's only codon, or of an amino acid the reference "
      "lacks"},
     [](char* p, const CodonUsage& u) { return WriteNumberOrNa(p, u.w); }},
    {{"optimal", kReference, kFlag,
      "1 for an optimal codon (Fop): one the reference uses significantly more than the rest of "
      "its genome",
      "the reference's own rows when no input could be read"},
     [](char* p, const CodonUsage& u) {
       if (u.optimal < 0) return WriteNotAvailable(p);
       *p = u.optimal != 0 ? '1' : '0';
       return p + 1;
     }},
    {{"contrast", kReference, kText,
      "what the optimal codons were found against: the input that holds the reference's genes "
      "(its other genes), all inputs when none holds them, or given when a file gave them",
      "no reference set was found in the input"},
     nullptr,
     [](const CodonUsage& u) { return u.contrast.empty() ? std::string_view("NA") : u.contrast; }},
    {{"coa1 ... coa4", kCoa, kNumber,
      "the codon's coordinates (in an analysis of amino acids, its amino acid's) on the first "
      "four axes of the input's correspondence analysis (--coa), as codonW's codon.coa and "
      "amino.coa",
      "the codon is left out of the analysis (a stop, or of an amino acid of one codon) or "
      "never counted in the input, the rows of a reference file, or the analysis has no such "
      "axis",
      kAxes},
     [](char* p, const CodonUsage& u) { return WriteAxes(p, u.coa); }},
};

// The entries of catalogs, one after another.
template <const auto&... kLists>
constexpr auto EntriesOf() {
  std::array<ColumnEntry, (std::size(kLists) + ...)> entries{};
  std::size_t i = 0;
  (
      [&] {
        for (const auto& column : kLists) entries[i++] = column.entry;
      }(),
      ...);
  return entries;
}

constexpr auto kTableEntries = EntriesOf<kSequenceColumns, kGroupColumns, kWholeInputColumns>();

constexpr NamedGroup kNamedGroups[] = {
    {"counts", kCounts},
    {"description", kDescription},
    {"composition", kComposition},
    {"dinucleotides", kDinucleotides},
    {"rscu", kRscu},
    {"aa", kAminoAcids},
};
constexpr auto kSummaryEntries = EntriesOf<kSummaryColumns, kWholeRunColumns>();
constexpr auto kCodonUsageEntries = EntriesOf<kCodonUsageColumns>();

void AppendHeader(OutputBuffer& out, std::string& row) {
  row += '\n';
  out.Append(row);
}

}  // namespace

std::span<const ColumnEntry> TableCatalog() {
  return kTableEntries;
}

std::span<const ColumnEntry> SummaryCatalog() {
  return kSummaryEntries;
}

std::span<const ColumnEntry> CodonUsageCatalog() {
  return kCodonUsageEntries;
}

std::span<const NamedGroup> NamedGroups() {
  return kNamedGroups;
}

std::vector<std::string> CellNames(const ColumnEntry& column) {
  std::vector<std::string> names;
  switch (column.shape) {
    case ColumnShape::kSingle:
      names.emplace_back(column.name);
      break;
    case ColumnShape::kFamilies:
    case ColumnShape::kAminoAcidShares:
      for (std::size_t f = 1; f <= kFamilyCount; ++f) {
        const std::string_view prefix = column.shape == ColumnShape::kFamilies ? "" : "aa_";
        if (f != kStopFamily) names.push_back(std::string(prefix) + std::string(kFamilyNames[f]));
      }
      break;
    case ColumnShape::kCodons:
    case ColumnShape::kCodonRscu:
      for (int c = 1; c <= kCodonCount; ++c) {
        names.push_back((column.shape == ColumnShape::kCodons ? "" : "rscu_") + CodonName(c));
      }
      break;
    case ColumnShape::kAxes: {
      // "coa1 ... coa4": the stem before the first axis's number.
      const std::string stem(column.name.substr(0, column.name.find('1')));
      for (std::size_t k = 1; k <= kCoaAxes; ++k) names.push_back(stem + std::to_string(k));
      break;
    }
  }
  return names;
}

std::string_view TypeName(ColumnType type) {
  switch (type) {
    case kInteger:
      return "integer";
    case kNumber:
      return "number";
    case kText:
      return "text";
    case kFlag:
      return "0 or 1";
  }
  return "";
}

std::string_view GroupCondition(ColumnGroup group) {
  switch (group) {
    case kCore:
      return "";
    case kFile:
      return "with --file-column or several inputs";
    case kCounts:
      return "with --counts";
    case kDescription:
      return "with --description";
    case kReference:
      return "with --reference";
    case kComposition:
      return "with --columns composition";
    case kCompositionReference:
      return "with --columns composition and --reference";
    case kDinucleotides:
      return "with --columns dinucleotides";
    case kRscu:
      return "with --columns rscu";
    case kAminoAcids:
      return "with --columns aa";
    case kLeftOut:
      return "with --cds-only, --min-codons or --gff";
    case kTrna:
      return "with --trna";
    case kCoa:
      return "with --coa";
    case kInputsCoa:
      return "with --coa and three or more inputs";
  }
  return "";
}

ColumnKind TableColumnKind(std::string_view name) {
  for (const ColumnEntry& column : TableCatalog()) {
    const std::vector<std::string> names = CellNames(column);
    if (std::find(names.begin(), names.end(), name) == names.end()) continue;
    if (column.type == kText) return ColumnKind::kText;
    return column.type == kNumber ? ColumnKind::kNumber : ColumnKind::kWholeNumber;
  }
  return ColumnKind::kNumber;
}

void WriteTableHeader(OutputBuffer& out, const TableLayout& layout) {
  std::string row;
  AppendHeaderCells<kSequenceColumns>(row, layout);
  AppendHeaderCells<kGroupColumns>(row, layout);
  AppendHeaderCells<kWholeInputColumns>(row, layout);
  AppendHeader(out, row);
}

void WriteSequenceCells(OutputBuffer& out, const TableLayout& layout, const SequenceCells& cells) {
  // The groups' cells are reserved room apart, so that a row without them reserves what it
  // always did.
  if (!HasGroupCells(layout)) {
    WriteRowCells<kSequenceColumns, true, true>(out, layout, cells);
    return;
  }
  WriteRowCells<kSequenceColumns, true, false>(out, layout, cells);
  WriteRowCells<kGroupColumns, false, true>(out, layout, cells);
}

bool HasGroupCells(const TableLayout& layout) {
  // One test a row, not one a column.
  constexpr std::uint32_t kGroups = [] {
    std::uint32_t groups = 0;
    for (const auto& column : kGroupColumns) groups |= TableLayout::Bit(column.entry.group);
    return groups;
  }();
  return layout.HasAny(kGroups);
}

bool HasWholeInputCells(const TableLayout& layout) {
  bool any = false;
  WalkColumns<kWholeInputColumns>(layout, [&](auto) { any = true; });
  return any;
}

void AppendWholeInputCells(OutputBuffer& out, const TableLayout& layout,
                           const WholeInputCells& cells) {
  WriteRowCells<kWholeInputColumns, false, false>(out, layout, cells);
}

void WriteSummaryHeader(OutputBuffer& out, const TableLayout& layout) {
  std::string row;
  AppendHeaderCells<kSummaryColumns>(row, layout);
  AppendHeaderCells<kWholeRunColumns>(row, layout);
  AppendHeader(out, row);
}

bool HasWholeRunCells(const TableLayout& layout) {
  bool any = false;
  WalkColumns<kWholeRunColumns>(layout, [&](auto) { any = true; });
  return any;
}

void AppendWholeRunCells(OutputBuffer& out, const TableLayout& layout, const WholeRunCells& cells) {
  WriteRowCells<kWholeRunColumns, false, false>(out, layout, cells);
}

void WriteSummaryCells(OutputBuffer& out, const TableLayout& layout, const SummaryCells& cells) {
  if (cells.error.empty()) {
    WriteRowCells<kSummaryColumns, true, true>(out, layout, cells);
  } else {
    WriteFailedRowCells<kSummaryColumns>(out, layout, cells);
  }
}

void WriteCodonUsageHeader(OutputBuffer& out, const TableLayout& layout) {
  std::string row;
  AppendHeaderCells<kCodonUsageColumns>(row, layout);
  AppendHeader(out, row);
}

void WriteCodonUsageCells(OutputBuffer& out, const TableLayout& layout,
                          const CodonUsageCells& cells) {
  WriteRowCells<kCodonUsageColumns, true, true>(out, layout, cells);
}

}  // namespace trelba
