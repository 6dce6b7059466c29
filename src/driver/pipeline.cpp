#include "driver/pipeline.hpp"

#include <algorithm>

#include "input/sequence_reader.hpp"
#include "reports/count_report.hpp"
#include "reports/order_report.hpp"

namespace trelba {

void SequencePipeline::operator()(SequenceNumber number, const CodonCounts& counts) {
  // The counts go out before anything is computed from them.
  WriteCountBlock(out_.counts, number, counts);
  AnalyseSequence(code_, counts, analysis_);
  WriteOrderBlock(out_.order, analysis_.order);
  WriteScoreLine(out_.scores, analysis_.score);
  average_.Add(analysis_.score);
}

void SequencePipeline::Finish() {
  WriteAverageLine(out_.scores, average_);
}

ReportTexts AnalyseText(std::string_view input, std::string_view code_id, std::size_t piece) {
  return AnalyseText(input, SelectGeneticCode(code_id), piece);
}

ReportTexts AnalyseText(std::string_view input, const GeneticCode& code, std::size_t piece) {
  StringSink order_sink, score_sink, count_sink;
  {
    OutputBuffer order(order_sink, 4096), scores(score_sink, 4096), counts(count_sink, 4096);
    SequencePipeline pipeline(code, {order, scores, counts});
    SequenceReader reader;
    if (piece == 0) piece = std::max<std::size_t>(input.size(), 1);
    for (std::size_t at = 0; at < input.size(); at += piece) {
      ReadBytes(reader, input.data() + at, std::min(piece, input.size() - at), pipeline);
    }
    FinishReading(reader, pipeline);
    pipeline.Finish();
    order.Flush();
    scores.Flush();
    counts.Flush();
  }
  return {std::move(order_sink.text), std::move(score_sink.text), std::move(count_sink.text)};
}

}  // namespace trelba
