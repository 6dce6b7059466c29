// What flows through the pipeline: a batch of consecutive sequences, cut from the text by
// the scanner, and, once a worker has been at it, the text of each of their outputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/coding_checks.hpp"
#include "analysis/correspondence_analysis.hpp"
#include "input/dinucleotide_reader.hpp"
#include "input/input_survey.hpp"
#include "input/sequence_facts.hpp"
#include "reports/output_buffer.hpp"
#include "reports/plot_data.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Sequences a batch holds at most.
inline constexpr std::size_t kBatchSequences = 256;
// A batch takes sequences until their text (bodies and kept headers) reaches this size; a
// longer body is counted as it arrives. 192 KiB rather than 256: with every output, peak
// memory on 50,000 genes of 1 kb fell from 16.1 to 14.6 MB, at the same speed.
inline constexpr std::size_t kBatchText = 3 << 16;

// Where each output of a run goes; a null output is not written.
struct ReportOutputs {
  OutputBuffer* order = nullptr;   // ".iik"
  OutputBuffer* scores = nullptr;  // ".ok"
  OutputBuffer* counts = nullptr;  // ".freq"
  OutputBuffer* table = nullptr;   // the table of results
};

struct SequenceRecord {
  SequenceNumber number = 0;
  std::uint64_t line = 0;   // of its header
  std::string id;           // its capacity is reused from batch to batch
  std::string description;  // kept only when asked for
  // The body's place in the batch's text, or its counts when it was too long to keep.
  std::size_t body_begin = 0;
  std::size_t body_end = 0;
  bool counted = false;
  bool left_out = false;     // by --cds-only or --min-codons: no output, no totals
  std::uint64_t digest = 0;  // of a body too long to keep, when digests are wanted
  CodonCounts counts{};
  std::uint8_t marks = 0;  // for the search for a reference set (analysis/gene_marks.hpp)
  double excess_p = 0.0;   // kept for the columns that follow the whole input
  SequenceFacts facts;
};

// Text of one output of one batch: in the buffer, and in the overflow before it when the
// buffer filled.
struct BatchText {
  explicit BatchText(std::size_t capacity) : buffer(overflow, capacity) {}
  StringSink overflow;
  OutputBuffer buffer;
};

struct SequenceBatch {
  SequenceBatch();
  std::size_t slot = 0;  // its number among the pipeline's batches
  std::vector<SequenceRecord> records;
  std::size_t size = 0;
  std::string text;             // the bodies of the records that hold no counts
  std::uint64_t u_letters = 0;  // letters U or u in the bodies
  BatchText order, scores, counts, table;
  std::vector<double> score_values;
  std::vector<double> excess_values;
  std::vector<double> enc_values;
  InputSurvey survey;
  CodingChecks coding;
  CodonCounts pooled{};  // every record's counts added, in a count-only pass
  // Each record's pairs of bases, when the table shows dinucleotides (empty until then: a
  // run without them keeps no room for them).
  std::vector<DinucleotideCounts> pairs;
  PlotBatch plot;  // for the HTML report, when it is written
  // With --coa, each record's row of the analysis and its sum (CoaRowOf), when `coa_made`
  // (empty until then: a run without it keeps no room for them).
  std::vector<CoaRow> coa_rows;
  std::vector<double> coa_sums;
  bool coa_made = false;
};

}  // namespace trelba
