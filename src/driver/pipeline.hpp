// What happens to every sequence as soon as it has been read: its count block, its
// analysis, its order block and its score, each to its report.
#pragma once

#include <string>
#include <string_view>

#include "analysis/score.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/tables.hpp"

namespace trelba {

struct ReportOutputs {
  OutputBuffer& order;   // ".iik"
  OutputBuffer& scores;  // ".ok"
  OutputBuffer& counts;  // ".freq"
};

class SequencePipeline {
 public:
  SequencePipeline(const GeneticCode& code, const ReportOutputs& outputs)
      : code_(code), out_(outputs) {}

  void operator()(SequenceNumber number, const CodonCounts& counts);
  // Closes the score report with the average line.
  void Finish();

 private:
  const GeneticCode& code_;
  ReportOutputs out_;
  SequenceAnalysis analysis_;
  AverageScore average_;
};

struct ReportTexts {
  std::string order;   // ".iik"
  std::string scores;  // ".ok"
  std::string counts;  // ".freq"
};

// The three reports of `input` under the genetic-code argument `code_id`, in memory.
// `piece` > 0 feeds the reader that many bytes at a time.
ReportTexts AnalyseText(std::string_view input, std::string_view code_id, std::size_t piece = 0);

// The same under `code` (a variant or an NCBI table).
ReportTexts AnalyseText(std::string_view input, const GeneticCode& code, std::size_t piece = 0);

}  // namespace trelba
