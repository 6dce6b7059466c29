#include "driver/background_choice.hpp"

#include <cerrno>

#include "driver/error_message.hpp"
#include "driver/input_reader.hpp"
#include "driver/messages.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/output_names.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"

namespace trelba {

InputOutcome::Status PoolSourceCounts(ByteSource& input, const Options& options,
                                      CodonCounts& pooled, std::uint64_t* sequences,
                                      InputReader* reader, PooledText* seen) {
  ReportRequest request;
  request.style.code = options.code;
  request.style.count_only = true;
  request.annotation = options.annotation;
  request.threads = ThreadCount(options);
  const InputOutcome outcome =
      reader != nullptr ? reader->Read(input, request) : ReportInput(input, request);
  if (outcome.status == InputOutcome::Status::kDone) pooled = outcome.totals.pooled;
  if (sequences != nullptr) *sequences = outcome.scanner.sequence;
  if (seen != nullptr)
    *seen = {outcome.totals.survey, outcome.totals.u_letters, outcome.any_header()};
  return outcome.status;
}

std::optional<std::string> PoolFile(const Options& options, const std::string& file,
                                    CodonCounts& pooled, std::uint64_t* sequences,
                                    InputReader* reader, KeptText* kept, FailureCause* cause,
                                    bool other) {
  const std::string name(InputName(file));
  InputFile source;
  source.SetInflateThreads(ThreadCount(options));  // BGZF members, as the input's own pass
  const bool opened =
      file == kStandardStream ? source.OpenDescriptor(kStandardInputDescriptor) : source.Open(file);
  const auto failed = [&](const char* doing, FailureCause why) {
    if (cause != nullptr) *cause = why;
    return FileErrorText(doing, name, why);
  };
  if (!opened) return failed("opening", source.error());
  if (source.refusal() != nullptr) return failed("reading", {0, source.refusal()});
  std::string unused;
  KeepingSource keeping(source, kept != nullptr ? kept->text : unused, KeptText::kLimit);
  ByteSource& read = kept != nullptr ? static_cast<ByteSource&>(keeping) : source;
  PooledText seen;
  const InputOutcome::Status status =
      PoolSourceCounts(read, options, pooled, sequences, reader, &seen);
  if (status != InputOutcome::Status::kDone) return failed("reading", CauseOf(status, source));
  if (kept != nullptr) kept->whole = keeping.whole();
  if (!other) return std::nullopt;
  for (const std::string& line :
       InputWarnings(name, seen.survey, seen.u_letters, seen.any_header)) {
    Warning(line);
  }
  std::uint64_t codons = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) codons += pooled[c];
  if (codons == 0) return failed("reading", {0, kNoCodonCounted});
  return std::nullopt;
}

Background BackgroundOfCounts(const Options& options, const std::string& name,
                              const CodonCounts& pooled) {
  Background background = PooledBackground(*options.code, pooled);
  std::string families;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (background.even_fallback[f])
      families += (families.empty() ? "" : ", ") + std::string(kFamilyNames[f]);
  }
  if (!families.empty()) {
    Warning(name + ": the background has no codon of " + families + ": even use is taken for them");
  }
  return background;
}

std::optional<std::string> ChooseBackground(const Options& options, const std::string& input,
                                            Background& background, InputReader* reader,
                                            KeptText* kept, FailureCause* cause) {
  const std::string& choice = options.background.value_or("even");
  if (choice == "even") {
    background = EvenBackground(*options.code);
    return std::nullopt;
  }
  const std::string& file = choice == "input" ? input : choice;
  CodonCounts pooled{};
  if (auto error = PoolFile(options, file, pooled, nullptr, reader,
                            choice == "input" ? kept : nullptr, cause, choice != "input")) {
    return error;
  }
  background = BackgroundOfCounts(options, std::string(InputName(file)), pooled);
  return std::nullopt;
}

}  // namespace trelba
