#include "driver/analyse_input.hpp"

#include <memory>
#include <system_error>

#include "driver/thread_pipeline.hpp"
#include "input/sequence_reader.hpp"

namespace trelba {

bool AnyOutputFailed(const ReportOutputs& outputs) {
  for (const OutputBuffer* out : {outputs.order, outputs.scores, outputs.counts, outputs.table}) {
    if (out != nullptr && out->failed()) return true;
  }
  return false;
}

InputOutcome AnalyseInput(InputFile& input, const GeneticCode& code, const ReportOutputs& outputs,
                          unsigned threads) {
  if (threads > 1) {
    try {
      return AnalyseInputThreaded(input, code, outputs, threads);
    } catch (const std::system_error&) {
      // No threads to be had (a process limit): one thread does the same work.
    }
  }
  InputOutcome outcome;
  SequencePipeline pipeline(code, outputs);
  SequenceReader reader;
  const std::unique_ptr<char[]> block(new char[kReadBlock]);
  for (;;) {
    const std::ptrdiff_t n = input.Read(block.get(), kReadBlock);
    if (n < 0) {
      outcome.status = InputOutcome::Status::kReadFailed;
      return outcome;
    }
    if (n == 0) break;
    ReadBytes(reader, block.get(), static_cast<std::size_t>(n), pipeline);
    if (AnyOutputFailed(outputs)) {
      outcome.status = InputOutcome::Status::kWriteFailed;
      return outcome;
    }
  }
  outcome.any_header = reader.sequence != 0;
  FinishReading(reader, pipeline);
  pipeline.Finish();
  outcome.survey = pipeline.survey();
  outcome.u_letters = reader.u_letters;
  return outcome;
}

}  // namespace trelba
