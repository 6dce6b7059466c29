#include "driver/pipeline.hpp"

#include <algorithm>

#include "input/sequence_reader.hpp"
#include "reports/count_report.hpp"
#include "reports/order_report.hpp"
#include "reports/table_report.hpp"

namespace trelba {

double SequenceReporter::Report(const ReportOutputs& out, SequenceNumber number,
                                const CodonCounts& counts, std::string_view id) {
  // The counts go out before anything is computed from them.
  if (out.counts != nullptr) WriteCountBlock(*out.counts, number, counts);
  AnalyseSequence(code_, counts, analysis_);
  // The order values are spelt once for both outputs that show them.
  if (out.order != nullptr || out.table != nullptr) {
    FormatOrderValues(analysis_.order, order_texts_);
  }
  if (out.order != nullptr) WriteOrderBlock(*out.order, order_texts_);
  if (out.scores != nullptr) WriteScoreLine(*out.scores, analysis_.score);
  if (out.table != nullptr) {
    WriteTableRow(*out.table, code_, number, id, counts, analysis_, order_texts_);
  }
  return analysis_.score;
}

SequencePipeline::SequencePipeline(const GeneticCode& code, const ReportOutputs& outputs)
    : out_(outputs), reporter_(code) {
  if (out_.table != nullptr) WriteTableHeader(*out_.table);
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
