// Reading the whole input and writing every sequence's outputs, in one thread or several.
#pragma once

#include <cstdint>

#include "codes/genetic_code.hpp"
#include "driver/pipeline.hpp"
#include "input/input_file.hpp"
#include "input/input_survey.hpp"

namespace trelba {

// Size of the blocks the input is read in.
inline constexpr std::size_t kReadBlock = 1 << 16;

struct InputOutcome {
  enum class Status { kDone, kReadFailed, kWriteFailed };
  Status status = Status::kDone;
  InputSurvey survey;
  std::uint64_t u_letters = 0;  // letters U or u in sequence lines
  bool any_header = false;
};

// Reads `input` to its end and writes each sequence's outputs to `outputs` in input order,
// the table's header first and the average line last. With `threads` > 1 the reading and
// the analysis run on different threads (thread_pipeline.cpp); the bytes are the same.
// Stops at the first read error or failed output.
InputOutcome AnalyseInput(InputFile& input, const GeneticCode& code, const ReportOutputs& outputs,
                          unsigned threads);

// True when any output has failed to write.
bool AnyOutputFailed(const ReportOutputs& outputs);

}  // namespace trelba
