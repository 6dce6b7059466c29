#include "analyse_text.hpp"

#include "driver/input_reader.hpp"
#include "input/byte_source.hpp"
#include "reports/output_buffer.hpp"

namespace trelba {

ReportTexts AnalyseText(std::string_view input, const GeneticCode& code, std::size_t piece,
                        unsigned threads) {
  StringSink order_sink, score_sink, count_sink, table_sink;
  {
    OutputBuffer order(order_sink, 4096), scores(score_sink, 4096), counts(count_sink, 4096),
        table(table_sink, 4096);
    TextSource source(input, piece);
    ReportRequest request;
    request.style.code = &code;
    request.outputs = {&order, &scores, &counts, &table};
    request.threads = threads;
    ReportInput(source, request);
    for (OutputBuffer* out : {&order, &scores, &counts, &table}) out->Flush();
  }
  return {std::move(order_sink.text), std::move(score_sink.text), std::move(count_sink.text),
          std::move(table_sink.text)};
}

ReportTexts AnalyseText(std::string_view input, std::string_view code_id, std::size_t piece,
                        unsigned threads) {
  return AnalyseText(input, SelectGeneticCode(code_id), piece, threads);
}

}  // namespace trelba
