#include "driver/sequence_batch.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/frequencies.hpp"
#include "analysis/score.hpp"
#include "reports/count_report.hpp"
#include "reports/order_report.hpp"
#include "reports/score_report.hpp"
#include "reports/table_report.hpp"

namespace trelba {
namespace {

constexpr std::size_t kBatchSequences = 256;
// A batch takes sequences until their text (bodies and kept headers) reaches this size; a
// longer body is counted as it arrives.
constexpr std::size_t kBatchText = 1 << 18;
// Room for a batch's text of each output, enough for 256 genes of ordinary counts: the
// writer hands it to the output from where the worker wrote it. Text beyond it overflows
// into a string, copied once more.
constexpr std::size_t kBatchOrderText = 96 << 10;
constexpr std::size_t kBatchScoreText = 16 << 10;
constexpr std::size_t kBatchCountText = 192 << 10;
constexpr std::size_t kBatchTableText = 96 << 10;

// Appends to `to` at most what keeps it within kMaxIdBytes; true when something was cut.
bool AppendBounded(std::string& to, const char* text, std::size_t size) {
  const std::size_t room = kMaxIdBytes - std::min(to.size(), kMaxIdBytes);
  to.append(text, std::min(size, room));
  return size > room;
}

}  // namespace

SequenceBatch::SequenceBatch()
    : records(kBatchSequences),
      order(kBatchOrderText),
      scores(kBatchScoreText),
      counts(kBatchCountText),
      table(kBatchTableText) {
  text.reserve(2 * kBatchText);
  score_values.reserve(kBatchSequences);
  excess_values.reserve(kBatchSequences);
  enc_values.reserve(kBatchSequences);
}

SequenceReporter::SequenceReporter(const ReportStyle& style)
    : style_(style), synonymous_(SynonymousCodonsOf(*style.code)), memo_(*style.code) {
  if (style.background != nullptr) {
    expected_.emplace(*style.code, *style.background);
    variance_.emplace(*style.code, *style.background);
  }
}

SequenceReporter::Reported SequenceReporter::Report(const ReportOutputs& out,
                                                    const SequenceRecord& record) {
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
  checks.thirds = CountSynonymousThirds(synonymous_, record.counts);
  const double enc = EffectiveNumberOfCodons(synonymous_, record.counts);
  if (out.table != nullptr) {
    // How far the excess is from chance: NaN where its variance is 0 or not a number.
    const double variance = variance_ ? ScoreVariance(*variance_, record.counts, analysis_)
                                      : std::numeric_limits<double>::quiet_NaN();
    const double excess_z = variance > 0.0 ? (analysis_.score - expected) / std::sqrt(variance)
                                           : std::numeric_limits<double>::quiet_NaN();
    WriteTableRow(*out.table, code, style_.table,
                  {style_.file, record.number, record.id, record.counts, record.facts, analysis_,
                   order_texts_, expected, checks, enc, excess_z});
  }
  return {analysis_.score, analysis_.score - expected, enc, checks};
}

void AnalyseBatch(SequenceBatch& batch, SequenceReporter& reporter, const ReportOutputs& run,
                  bool in_order) {
  const ReportOutputs out = in_order ? run
                                     : ReportOutputs{run.order ? &batch.order.buffer : nullptr,
                                                     run.scores ? &batch.scores.buffer : nullptr,
                                                     run.counts ? &batch.counts.buffer : nullptr,
                                                     run.table ? &batch.table.buffer : nullptr};
  batch.score_values.clear();
  batch.excess_values.clear();
  batch.enc_values.clear();
  batch.survey = InputSurvey{};
  batch.coding = CodingChecks{};
  batch.pooled = CodonCounts{};
  const bool count_only = reporter.count_only();
  const bool plot = reporter.style().plot;
  if (plot) batch.plot.Clear();
  for (std::size_t i = 0; i < batch.size; ++i) {
    SequenceRecord& record = batch.records[i];
    if (!record.counted) {
      CodonReader reader;
      CountCodons(reader, batch.text.data() + record.body_begin,
                  record.body_end - record.body_begin);
      record.counts = reader.counts;
      record.facts.partial_letters = static_cast<std::uint8_t>(reader.frame);
      record.facts.last_triple = LastTriple(reader);
      batch.u_letters += reader.u_letters;
    }
    record.facts.description = record.description;
    if (count_only) {
      for (std::size_t c = 0; c <= kCodonCount; ++c) batch.pooled[c] += record.counts[c];
      continue;
    }
    const SequenceReporter::Reported reported = reporter.Report(out, record);
    batch.survey.Add(reported.checks.codons, record.counts[0]);
    batch.survey.AddChecks(reported.checks.internal_stops, record.facts.partial_letters,
                           record.line);
    batch.coding.Add(reported.checks);
    batch.score_values.push_back(reported.score);
    batch.excess_values.push_back(reported.excess);
    batch.enc_values.push_back(reported.enc);
    if (plot) {
      batch.plot.Add(record.number, *reporter.style().code, reported.checks, reporter.analysis(),
                     reported.excess, reported.enc);
    }
  }
}

bool WriteBatch(SequenceBatch& batch, const ReportOutputs& run, InputTotals& totals) {
  const struct {
    OutputBuffer* out;
    BatchText* text;
  } pairs[] = {{run.order, &batch.order},
               {run.scores, &batch.scores},
               {run.counts, &batch.counts},
               {run.table, &batch.table}};
  bool written = true;
  for (const auto& [out, text] : pairs) {
    if (out == nullptr) continue;
    out->Append(text->overflow.text);
    text->overflow.text.clear();
    out->Append(text->buffer.pending());
    text->buffer.Clear();
    written = written && !out->failed();
  }
  // Summed in input order, so that the average has the same bits whatever the threads.
  for (const double score : batch.score_values) totals.average.Add(score);
  if (totals.keep_scores) {
    totals.scores.Add(batch.score_values);
    totals.excesses.Add(batch.excess_values);
    totals.encs.Add(batch.enc_values);
  }
  if (totals.keep_plot) totals.plot.Add(batch.plot);
  for (std::size_t c = 0; c <= kCodonCount; ++c) totals.pooled[c] += batch.pooled[c];
  if (totals.pool) {
    for (std::size_t i = 0; i < batch.size; ++i) {
      const CodonCounts& counts = batch.records[i].counts;
      for (std::size_t c = 0; c <= kCodonCount; ++c) totals.pooled[c] += counts[c];
      if (totals.store != nullptr) totals.store->Add(counts);  // a failure is its to tell
    }
  }
  totals.survey.Merge(batch.survey);
  totals.coding.Add(batch.coding);
  totals.u_letters += batch.u_letters;
  return written;
}

SequenceBatch& BatchFiller::Current() {
  if (batch_ == nullptr) {
    batch_ = &take_();
    batch_->size = 0;
    batch_->text.clear();
    batch_->u_letters = 0;
  }
  return *batch_;
}

void BatchFiller::Start(SequenceNumber number, std::uint64_t line) {
  SequenceBatch& batch = Current();
  SequenceRecord& record = batch.records[batch.size];
  record.number = number;
  record.line = line;
  record.id.clear();
  record.description.clear();
  record.counted = false;
  record.facts = SequenceFacts{};
  record.body_begin = batch.text.size();
  long_ = false;
  id_cut_ = false;
}

void BatchFiller::Id(const char* text, std::size_t size) {
  if (!wants_.ids) return;
  SequenceRecord& record = batch_->records[batch_->size];
  if (AppendBounded(record.id, text, size) && !id_cut_) {
    id_cut_ = true;
    if (ids_cut_++ == 0) first_cut_line_ = record.line;
  }
}

void BatchFiller::Description(const char* text, std::size_t size) {
  if (wants_.descriptions) AppendBounded(batch_->records[batch_->size].description, text, size);
}

void BatchFiller::Body(const char* text, std::size_t size) {
  SequenceBatch& batch = *batch_;
  SequenceRecord& record = batch.records[batch.size];
  if (!long_ && batch.text.size() - record.body_begin + size > kBatchText) {
    // Too long to keep: count what is kept so far, and the rest as it comes.
    long_reader_ = CodonReader{};
    CountCodons(long_reader_, batch.text.data() + record.body_begin,
                batch.text.size() - record.body_begin);
    batch.text.resize(record.body_begin);
    long_ = true;
  }
  if (long_) {
    CountCodons(long_reader_, text, size);
  } else {
    batch.text.append(text, size);
  }
}

void BatchFiller::End() {
  SequenceBatch& batch = *batch_;
  SequenceRecord& record = batch.records[batch.size++];
  record.body_end = batch.text.size();
  if (long_) {
    record.counts = long_reader_.counts;
    record.facts.partial_letters = static_cast<std::uint8_t>(long_reader_.frame);
    record.facts.last_triple = LastTriple(long_reader_);
    record.counted = true;
    batch.u_letters += long_reader_.u_letters;
    long_ = false;
  }
  kept_ += record.id.size() + record.description.size();
  if (batch.size == batch.records.size() || batch.text.size() + kept_ >= kBatchText) {
    Flush();
  }
}

void BatchFiller::Flush() {
  if (batch_ == nullptr) return;
  submit_(*batch_);
  batch_ = nullptr;
  kept_ = 0;
}

}  // namespace trelba
