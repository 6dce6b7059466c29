#include "driver/batch_analysis.hpp"

#include <cmath>
#include <limits>

#include "analysis/dinucleotide_ratios.hpp"
#include "analysis/frequencies.hpp"
#include "analysis/gene_marks.hpp"
#include "analysis/relative_usage.hpp"
#include "analysis/score.hpp"
#include "analysis/tail_probabilities.hpp"
#include "input/codon_reader.hpp"
#include "reports/count_report.hpp"
#include "reports/order_report.hpp"
#include "reports/order_texts.hpp"
#include "reports/score_report.hpp"

namespace trelba {

SequenceReporter::SequenceReporter(const ReportStyle& style)
    : style_(style),
      synonymous_(SynonymousCodonsOf(*style.code)),
      memo_(*style.code),
      composition_codons_(CompositionCodonsOf(synonymous_)),
      plot_codons_(style.plot ? PlotCodonsOf(synonymous_) : PlotCodons{}),
      groups_(HasGroupCells(style.table)) {
  TakeBackground();
}

void SequenceReporter::TakeBackground() {
  expected_.reset();
  variance_.reset();
  tail_.reset();
  if (style_.background != nullptr) {
    expected_.emplace(*style_.code, *style_.background);
    variance_.emplace(*style_.code, *style_.background);
    tail_.emplace(*style_.code, *style_.background);
  }
}

SequenceReporter::Reported SequenceReporter::Report(const ReportOutputs& out,
                                                    const SequenceRecord& record,
                                                    const DinucleotideCounts* pairs) {
  const GeneticCode& code = *style_.code;
  // The counts go out before anything is computed from them.
  if (out.counts != nullptr) WriteCountBlock(*out.counts, record.number, record.counts);
  // The memo gives the totals, order values and their texts (spelt once for both outputs
  // that show them) as the plain path makes them. It serves codes that share no codon
  // between families, whose frequencies nothing else reads (the expected score reads them
  // for shared families only), so they are not made.
  if (memo_.Fill(record.counts, analysis_.totals, analysis_.order, order_texts_)) {
    FamilyComposition(code, analysis_.totals, analysis_.composition);
    analysis_.score = SequenceScore(analysis_.composition, analysis_.order);
  } else {
    AnalyseSequence(code, record.counts, analysis_);
    if (out.order != nullptr || out.table != nullptr) {
      FormatOrderValues(analysis_.order, order_texts_);
    }
  }
  if (out.order != nullptr) WriteOrderBlock(*out.order, order_texts_);
  if (out.scores != nullptr) WriteScoreLine(*out.scores, analysis_.score);
  const double expected = expected_ ? ExpectedScore(*expected_, record.counts, analysis_)
                                    : std::numeric_limits<double>::quiet_NaN();
  CodingChecks checks = CheckCoding(code, record.counts, record.facts);
  double enc = std::numeric_limits<double>::quiet_NaN();
  // The counts the indices read: without the first codon under --skip-first-codon.
  const CodonCounts* index_counts = &record.counts;
  if (style_.indices) {
    if (style_.filters.skip_first_codon && record.facts.first_triple != 0) {
      // The indices read the sequence without its first codon.
      CodonCounts& rest = trimmed_;
      rest = record.counts;
      --rest[record.facts.first_triple];
      checks.thirds = CountSynonymousThirds(synonymous_, rest);
      enc = EffectiveNumberOfCodons(synonymous_, rest);
      index_counts = &rest;
    } else {
      checks.thirds =
          CountSynonymousThirds(synonymous_, record.counts, checks.codons, checks.gc3_codons);
      enc = EffectiveNumberOfCodons(synonymous_, record.counts);
    }
  }
  double excess_p = std::numeric_limits<double>::quiet_NaN();
  if (out.table != nullptr) {
    // How far the excess is from chance: NaN where its variance is 0 or not a number.
    const double variance = variance_ ? ScoreVariance(*variance_, record.counts, analysis_)
                                      : std::numeric_limits<double>::quiet_NaN();
    const double excess_z = variance > 0.0 ? (analysis_.score - expected) / std::sqrt(variance)
                                           : std::numeric_limits<double>::quiet_NaN();
    if (groups_) FillGroupCells(*index_counts, pairs, enc, checks.thirds);
    // Its p-value follows the columns against the reference, after the whole input.
    if (style_.table.Has(ColumnGroup::kReference) && tail_) {
      excess_p = GeneExcessP(*tail_, record.counts, analysis_, expected, variance);
    }
    WriteSequenceCells(*out.table, style_.table,
                       {code, style_.file, record.number, record.id, record.counts, record.facts,
                        analysis_, order_texts_, expected, checks, enc, excess_z,
                        style_.trna != nullptr ? TrnaAdaptationIndex(*style_.trna, record.counts)
                                               : std::numeric_limits<double>::quiet_NaN(),
                        group_cells_});
  }
  return {analysis_.score, analysis_.score - expected, enc, excess_p, checks, index_counts};
}

void SequenceReporter::FillGroupCells(const CodonCounts& counts, const DinucleotideCounts* pairs,
                                      double enc, const SynonymousThirds& thirds) {
  const TableLayout& layout = style_.table;
  GroupCells& cells = group_cells_;
  if (layout.Has(ColumnGroup::kComposition)) {
    cells.composition = CompositionOf(composition_codons_, counts);
    cells.enc_ratio = EncRatio(enc, Gc3s(thirds));
  }
  if (layout.Has(ColumnGroup::kDinucleotides)) {
    cells.dinucleotides = DinucleotideRatiosOf(*pairs);
  }
  if (layout.Has(ColumnGroup::kRscu)) CodonRscu(synonymous_, counts, cells.rscu);
  if (layout.Has(ColumnGroup::kAminoAcids)) {
    AminoAcidShares(synonymous_, counts, cells.amino_acids);
  }
}

namespace {

// What analysing a batch gives, emptied for the batch's next use.
void ClearResults(SequenceBatch& batch) {
  batch.score_values.clear();
  batch.excess_values.clear();
  batch.enc_values.clear();
  batch.survey = InputSurvey{};
  batch.coding = CodingChecks{};
  batch.pooled = CodonCounts{};
  batch.coa_made = false;
}

// Counts the codons of a record's body kept in the batch (a body too long to keep was
// counted as it arrived); its pairs of bases too into `pairs` when it is not null.
void CountBody(SequenceBatch& batch, SequenceRecord& record, DinucleotideCounts* pairs) {
  if (record.counted) return;
  const char* const body = batch.text.data() + record.body_begin;
  const std::size_t size = record.body_end - record.body_begin;
  CodonReader reader;
  CountCodons(reader, body, size);
  if (pairs != nullptr) *pairs = PairsOfBody(body, size, reader.counts);
  record.counts = reader.counts;
  record.facts.partial_letters = static_cast<std::uint8_t>(reader.frame);
  record.facts.last_triple = LastTriple(reader);
  batch.u_letters += reader.u_letters;
}

}  // namespace

void AnalyseBatch(SequenceBatch& batch, SequenceReporter& reporter, const ReportOutputs& run,
                  bool in_order) {
  const ReportOutputs out = in_order ? run
                                     : ReportOutputs{run.order ? &batch.order.buffer : nullptr,
                                                     run.scores ? &batch.scores.buffer : nullptr,
                                                     run.counts ? &batch.counts.buffer : nullptr,
                                                     run.table ? &batch.table.buffer : nullptr};
  ClearResults(batch);
  const bool plot = reporter.style().plot;
  const bool pairs =
      out.table != nullptr && reporter.style().table.Has(ColumnGroup::kDinucleotides);
  if (pairs) batch.pairs.resize(batch.records.size());
  if (plot) batch.plot.Clear();
  const SequenceFilters& filters = reporter.style().filters;
  for (std::size_t i = 0; i < batch.size; ++i) {
    SequenceRecord& record = batch.records[i];
    DinucleotideCounts* const record_pairs = pairs ? &batch.pairs[i] : nullptr;
    CountBody(batch, record, record_pairs);
    record.facts.description = record.description;
    if (filters.any()) {
      const CodingChecks checks = CheckCoding(*reporter.style().code, record.counts, record.facts);
      const LeftOut why = Judge(filters, record.facts, checks.codons, checks.internal_stops);
      if (why != LeftOut::kKept) {
        record.left_out = true;
        ++batch.survey.left_out[static_cast<std::size_t>(why)];
        continue;
      }
    }
    if (reporter.style().mark_genes) {
      record.marks = GeneMarks(reporter.synonymous(), record.counts, record.description);
      // A body too long to keep is too long for the machinery.
      if (!record.counted && reporter.homology().Resembles(batch.text.data() + record.body_begin,
                                                           record.body_end - record.body_begin)) {
        record.marks |= kMarkHomolog;
      }
    }
    batch.survey.AddMarks(record.facts, record.line);
    const SequenceReporter::Reported reported = reporter.Report(out, record, record_pairs);
    record.excess_p = reported.excess_p;
    batch.survey.Add(reported.checks.codons, record.counts[0]);
    batch.survey.AddChecks(reported.checks.internal_stops, record.facts.partial_letters,
                           record.line);
    batch.coding.Add(reported.checks);
    batch.score_values.push_back(reported.score);
    batch.excess_values.push_back(reported.excess);
    batch.enc_values.push_back(reported.enc);
    if (plot) {
      batch.plot.Add(record.id, *reported.counts, reporter.plot_codons(), *reporter.style().code,
                     reported.checks, reporter.analysis(),
                     {reported.excess, reported.enc, Gc3s(reported.checks.thirds)});
    }
  }
  // The rows of the correspondence analysis here, where the batches are analysed side by
  // side, not in the turn that adds them up: every record's, as that turn adds them.
  if (const CoaColumns* coa = reporter.style().coa) {
    batch.coa_rows.resize(batch.records.size());
    batch.coa_sums.resize(batch.records.size());
    for (std::size_t i = 0; i < batch.size; ++i) {
      if (batch.records[i].left_out) continue;
      batch.coa_sums[i] = CoaRowOf(*coa, batch.records[i].counts, batch.coa_rows[i]);
    }
    batch.coa_made = true;
  }
}

void PoolBatch(SequenceBatch& batch) {
  ClearResults(batch);
  for (std::size_t i = 0; i < batch.size; ++i) {
    SequenceRecord& record = batch.records[i];
    CountBody(batch, record, nullptr);
    std::uint64_t codons = 0;
    for (std::size_t c = 1; c <= kCodonCount; ++c) codons += record.counts[c];
    for (std::size_t c = 0; c <= kCodonCount; ++c) batch.pooled[c] += record.counts[c];
    batch.survey.Add(codons, record.counts[0]);  // what the input checks read
  }
}

}  // namespace trelba
