// What happens to every sequence as soon as it has been read: its count block, its
// analysis, its order block, its score and its table row, each to its output.
#pragma once

#include <string>
#include <string_view>

#include "analysis/score.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/input_survey.hpp"
#include "reports/order_texts.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/tables.hpp"

namespace trelba {

// Where each output goes; a null output is not written.
struct ReportOutputs {
  OutputBuffer* order = nullptr;   // ".iik"
  OutputBuffer* scores = nullptr;  // ".ok"
  OutputBuffer* counts = nullptr;  // ".freq"
  OutputBuffer* table = nullptr;   // the table of results
};

// Analyses one sequence after another and writes each one's outputs, reusing its
// scratch space.
class SequenceReporter {
 public:
  explicit SequenceReporter(const GeneticCode& code) : code_(code) {}

  // Writes the count block, order block, score line and table row of one sequence to
  // those of `out` that are not null; returns its score.
  double Report(const ReportOutputs& out, SequenceNumber number, const CodonCounts& counts,
                std::string_view id);

 private:
  const GeneticCode& code_;
  SequenceAnalysis analysis_;
  OrderTexts order_texts_;
};

// Every sequence's outputs in the reader's thread, as soon as it has been read.
class SequencePipeline {
 public:
  // Writes the table's header row at once.
  SequencePipeline(const GeneticCode& code, const ReportOutputs& outputs);

  void operator()(SequenceNumber number, const CodonCounts& counts, std::string_view id) {
    survey_.Add(counts);
    average_.Add(reporter_.Report(out_, number, counts, id));
  }
  // Closes the score report with the average line.
  void Finish();

  const InputSurvey& survey() const { return survey_; }

 private:
  ReportOutputs out_;
  SequenceReporter reporter_;
  AverageScore average_;
  InputSurvey survey_;
};

struct ReportTexts {
  std::string order;   // ".iik"
  std::string scores;  // ".ok"
  std::string counts;  // ".freq"
  std::string table;   // the table of results
};

// The reports and the table of `input` under `code` (a variant or an NCBI table), in memory. `piece` > 0 feeds the
// reader that many bytes at a time.
ReportTexts AnalyseText(std::string_view input, const GeneticCode& code, std::size_t piece = 0);

// The same under the genetic-code argument `code_id` ("0" to "7").
ReportTexts AnalyseText(std::string_view input, std::string_view code_id, std::size_t piece = 0);

}  // namespace trelba
