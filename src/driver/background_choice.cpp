#include "driver/background_choice.hpp"

#include "driver/error_message.hpp"
#include "driver/messages.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/report_input.hpp"
#include "input/input_file.hpp"

namespace trelba {

bool PoolSourceCounts(ByteSource& input, const Options& options, CodonCounts& pooled) {
  ReportRequest request;
  request.style.code = options.code;
  request.style.count_only = true;
  request.threads = ThreadCount(options);
  const InputOutcome outcome = ReportInput(input, request);
  if (outcome.status != InputOutcome::Status::kDone) return false;
  pooled = outcome.totals.pooled;
  return true;
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
                                            Background& background) {
  const std::string& choice = options.background.value_or("even");
  if (choice == "even") {
    background = EvenBackground(*options.code);
    return std::nullopt;
  }
  const std::string& file = choice == "input" ? input : choice;
  InputFile source;
  if (!source.Open(file)) return FileErrorText("opening", file, source.error());
  if (source.refusal() != nullptr) return FileErrorText("reading", file, source.refusal());
  CodonCounts pooled{};
  if (!PoolSourceCounts(source, options, pooled))
    return FileErrorText("reading", file, source.error());
  background = BackgroundOfCounts(options, file, pooled);
  return std::nullopt;
}

}  // namespace trelba
