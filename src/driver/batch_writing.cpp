#include "driver/batch_writing.hpp"

namespace trelba {

bool WriteBatch(SequenceBatch& batch, const ReportOutputs& run, InputTotals& totals) {
  const struct {
    OutputBuffer* out;
    BatchText* text;
  } pairs[] = {{run.order, &batch.order},
               {run.scores, &batch.scores},
               {run.counts, &batch.counts},
               {run.table, &batch.table}};
  if (totals.held_rows != nullptr) {
    // Half the batch's letters: the rows spilled as they are stay within half the input.
    totals.held_rows->AllowAsTheyAre(3 * (batch.survey.codons + batch.survey.other_triples) / 2);
  }
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
  // Before the counts are kept: it marks the records it finds.
  if (totals.matches.genes != nullptr || totals.matches.collect != nullptr) {
    MatchReferenceGenes(batch, totals.matches);
  }
  if (totals.pool) {
    for (std::size_t i = 0; i < batch.size; ++i) {
      const SequenceRecord& record = batch.records[i];
      if (record.left_out) continue;
      const CodonCounts& counts = record.counts;
      for (std::size_t c = 0; c <= kCodonCount; ++c) totals.pooled[c] += counts[c];
      if (totals.store == nullptr) continue;
      // The indices against a reference read the kept counts: without the first codon
      // under --skip-first-codon.
      if (totals.skip_first_codon && record.facts.first_triple != 0) {
        CodonCounts rest = counts;
        --rest[record.facts.first_triple];
        totals.store->Add(rest, record.marks, record.excess_p);
      } else {
        totals.store->Add(counts, record.marks, record.excess_p);  // a failure is its to tell
      }
    }
  }
  if (totals.coa != nullptr) {
    // A record left out by --cds-only or --min-codons is no gene of the analysis, and has no
    // ENC among the batch's values: those follow the records kept.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < batch.size; ++i) {
      if (batch.records[i].left_out) continue;
      const double enc = batch.enc_values[kept++];
      if (batch.coa_made) {
        totals.coa->AddRow(batch.coa_rows[i], batch.coa_sums[i], enc);
      } else {
        totals.coa->Add(batch.records[i].counts, enc);
      }
    }
  }
  totals.survey.Merge(batch.survey);
  totals.coding.Add(batch.coding);
  totals.u_letters += batch.u_letters;
  return written;
}

}  // namespace trelba
