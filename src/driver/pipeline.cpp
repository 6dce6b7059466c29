#include "driver/pipeline.hpp"

#include <algorithm>

#include "input/sequence_reader.hpp"
#include "reports/count_report.hpp"
#include "reports/order_report.hpp"
#include "reports/table_report.hpp"

namespace trelba {

SequencePipeline::SequencePipeline(const GeneticCode& code, const ReportOutputs& outputs)
    : code_(code), out_(outputs) {
  if (out_.table != nullptr) WriteTableHeader(*out_.table);
}

void SequencePipeline::operator()(SequenceNumber number, const CodonCounts& counts,
                                  std::string_view id) {
  survey_.Add(counts);
  // The counts go out before anything is computed from them.
  if (out_.counts != nullptr) WriteCountBlock(*out_.counts, number, counts);
  AnalyseSequence(code_, counts, analysis_);
  // The order values are spelt once for both outputs that show them.
  if (out_.order != nullptr || out_.table != nullptr) {
    FormatOrderValues(analysis_.order, order_texts_);
  }
  if (out_.order != nullptr) WriteOrderBlock(*out_.order, order_texts_);
  if (out_.scores != nullptr) WriteScoreLine(*out_.scores, analysis_.score);
  if (out_.table != nullptr) {
    WriteTableRow(*out_.table, code_, number, id, counts, analysis_, order_texts_);
  }
  average_.Add(analysis_.score);
}

void SequencePipeline::Finish() {
  if (out_.scores != nullptr) WriteAverageLine(*out_.scores, average_);
}

ReportTexts AnalyseText(std::string_view input, const GeneticCode& code, std::size_t piece) {
  StringSink order_sink, score_sink, count_sink, table_sink;
  {
    OutputBuffer order(order_sink, 4096), scores(score_sink, 4096), counts(count_sink, 4096),
        table(table_sink, 4096);
    SequencePipeline pipeline(code, {&order, &scores, &counts, &table});
    SequenceReader reader;
    if (piece == 0) piece = std::max<std::size_t>(input.size(), 1);
    for (std::size_t at = 0; at < input.size(); at += piece) {
      ReadBytes(reader, input.data() + at, std::min(piece, input.size() - at), pipeline);
    }
    FinishReading(reader, pipeline);
    pipeline.Finish();
    for (OutputBuffer* out : {&order, &scores, &counts, &table}) out->Flush();
  }
  return {std::move(order_sink.text), std::move(score_sink.text), std::move(count_sink.text),
          std::move(table_sink.text)};
}

ReportTexts AnalyseText(std::string_view input, std::string_view code_id, std::size_t piece) {
  return AnalyseText(input, SelectGeneticCode(code_id), piece);
}

}  // namespace trelba
