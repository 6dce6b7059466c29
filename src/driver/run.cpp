#include "driver/run.hpp"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "codes/genetic_code.hpp"
#include "driver/error_message.hpp"
#include "driver/help_text.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/report_input.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"
#include "reports/report_set.hpp"

namespace trelba {
namespace {

// How messages name standard input.
constexpr std::string_view kStandardInputName = "standard input";

int Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : kFailureStatus;
}

// The genetic code the arguments select, with a warning for an argument that selects the
// standard code without saying so, and for arguments that are not read.
const GeneticCode& ChooseCode(const Options& options) {
  if (options.code_argument) {
    const std::string& id = *options.code_argument;
    const bool known = id.size() == 1 && id[0] >= '0' && id[0] <= '7';
    if (!known) {
      const bool looks_like_option = id.size() > 1 && id[0] == '-';
      Warning("genetic code argument '" + id +
              "' is not one of 0 to 7: code 0 (the standard code) was used" +
              (looks_like_option ? "; options go before the file name" : ""));
    }
  }
  if (!options.ignored.empty()) {
    std::string list;
    for (const std::string& arg : options.ignored) list += (list.empty() ? "'" : " '") + arg + "'";
    Warning("arguments after the genetic code are not read: " + list);
  }
  return SelectGeneticCode(options.code_argument.value_or("0"));
}

std::string InputName(const Options& options) {
  return options.input == kStandardStream ? std::string(kStandardInputName) : options.input;
}

int AnalyseAndWrite(const Options& options, const GeneticCode& code);

}  // namespace

int Run(int argc, const char* const* argv) {
  if (argc < 2) {
    Print(kMissingParameterText);
    return kFailureStatus;
  }
  const CommandLine command_line = ParseCommandLine(argc, argv);
  if (!command_line.error.empty()) return UsageError(command_line.error);
  const Options& options = command_line.options;
  if (options.action == Options::Action::kHelp) return Print(kHelpText);
  if (options.action == Options::Action::kVersion) return Print("Trelba " TRELBA_VERSION "\n");
  const GeneticCode& code = options.ncbi_code != nullptr ? *options.ncbi_code : ChooseCode(options);
  // Every buffer is had before the input is read: memory that cannot be had means the
  // input cannot be read, and no report is changed.
  try {
    return AnalyseAndWrite(options, code);
  } catch (const std::bad_alloc&) {
    return FileError("reading", InputName(options));
  }
}

namespace {

int AnalyseAndWrite(const Options& options, const GeneticCode& code) {
  const bool from_standard_input = options.input == kStandardStream;
  const std::string input_name = InputName(options);
  InputFile input;
  const bool opened = from_standard_input ? input.OpenDescriptor(kStandardInputDescriptor)
                                          : input.Open(options.input);
  if (!opened) return FileError("opening", input_name);
  // Refused text (UTF-16, UTF-32) fails before any report file is created.
  if (input.refusal() != nullptr) return FileError("reading", input_name, input.refusal());

  // Opened in this order: family order report, score report, codon count report, table;
  // none of them may be the input itself.
  const FileIdentity input_file =
      from_standard_input ? IdentifyStandardInput() : IdentifyFile(input_name);
  ReportSet outputs;
  ReportRequest request;
  request.code = &code;
  request.threads = options.thread_count != 0 ? options.thread_count : DefaultThreadCount();
  if (!options.no_reports) {
    const std::string prefix = options.output_prefix.value_or(options.input);
    const struct {
      OutputBuffer** slot;
      const char* suffix;
    } reports[] = {{&request.outputs.order, ".iik"},
                   {&request.outputs.scores, ".ok"},
                   {&request.outputs.counts, ".freq"}};
    for (const auto& [slot, suffix] : reports) {
      const std::string name = prefix + suffix;
      *slot = outputs.OpenFile(name, input_file);
      if (*slot == nullptr) return FileError("opening", name);
    }
  }
  if (options.table) {
    if (*options.table == kStandardStream) {
      request.outputs.table = outputs.OpenStandardOutput();
    } else {
      request.outputs.table = outputs.OpenFile(*options.table, input_file);
      if (request.outputs.table == nullptr) return FileError("opening", *options.table);
    }
  }

  const InputOutcome outcome = ReportInput(input, request);
  if (outcome.status == InputOutcome::Status::kReadFailed) return FileError("reading", input_name);
  if (const std::string* failed = outputs.Failed()) return FileError("writing", *failed);
  if (const std::string* failed = outputs.Commit()) return FileError("writing", *failed);
  for (const std::string& line : InputWarnings(input_name, outcome.totals.survey,
                                               outcome.totals.u_letters, outcome.any_header())) {
    Warning(line);
  }
  return 0;
}

}  // namespace
}  // namespace trelba
