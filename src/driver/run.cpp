#include "driver/run.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "driver/error_message.hpp"
#include "driver/help_text.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/process_setup.hpp"
#include "driver/run_of_inputs.hpp"
#include "driver/standard_error_sink.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "reports/report_set.hpp"
#include "trelba/ieee_double.hpp"

namespace trelba {
namespace {

int Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : kFailureStatus;
}

// Adds the inputs of --infile-list; the error line when the list cannot be read.
std::optional<std::string> AddListedInputs(Options& options) {
  if (!options.infile_list) return std::nullopt;
  const std::string& name = *options.infile_list;
  const bool standard = name == kStandardStream;
  const std::string shown = standard ? std::string(kStandardInputName) : name;
  InputFile list;
  if (!(standard ? list.OpenDescriptor(kStandardInputDescriptor) : list.Open(name))) {
    return FileErrorText("opening", shown, list.error());
  }
  std::string text;
  char block[1 << 14];
  for (std::ptrdiff_t n = 0; (n = list.Read(block, sizeof block)) != 0;) {
    if (n < 0) return FileErrorText("reading", shown, list.error());
    text.append(block, static_cast<std::size_t>(n));
  }
  for (std::string& input : ListedInputs(text)) options.inputs.push_back(std::move(input));
  return std::nullopt;
}

// How standard error shows progress: at a terminal unless -q or --no-progress; in a file or
// a pipe (a log, `2>&1 | tee`) only when asked, as lines of their own.
ProgressDisplay ProgressDisplayOf(const Options& options) {
  if (options.no_progress) return ProgressDisplay::kNone;
  if (StandardErrorIsTerminal()) {
    return options.progress || !options.quiet ? ProgressDisplay::kRedrawn : ProgressDisplay::kNone;
  }
  return options.progress ? ProgressDisplay::kLines : ProgressDisplay::kNone;
}

}  // namespace

int Run(int argc, const char* const* argv) {
  if (argc < 2) {
    Print(kMissingParameterText);
    return kFailureStatus;
  }
  if (!RoundsToNearest()) {
    ErrorLine(std::string("Trelba: ") + kRoundingModeProblem);
    return kFailureStatus;
  }
  CommandLine command_line = ParseCommandLine(argc, argv);
  if (!command_line.error.empty()) return UsageError(command_line.error);
  Options& options = command_line.options;
  const ProgressDisplay display = ProgressDisplayOf(options);
  SetStandardErrorStyle(!options.quiet, display);
  if (options.action == Options::Action::kHelp) return Print(HelpText());
  if (options.action == Options::Action::kVersion) return Print("Trelba " TRELBA_VERSION "\n");
  // A closed stream was put on /dev/null when the process started: reading or writing it
  // would go on without a word.
  const auto standard_input_closed = [&] {
    const bool reads_standard_input = options.infile_list == kStandardStream ||
                                      options.background == kStandardStream ||
                                      options.reference == kStandardStream ||
                                      std::find(options.inputs.begin(), options.inputs.end(),
                                                kStandardStream) != options.inputs.end();
    return reads_standard_input && StandardStreamWasClosed(kStandardInputDescriptor);
  };
  if (standard_input_closed()) return FileError("opening", kStandardInputName, "it is closed");
  if (const auto error = AddListedInputs(options)) {
    ErrorLine(*error);
    return kFailureStatus;
  }
  const std::string problem = CheckInputs(options);
  if (!problem.empty()) return UsageError(problem);
  const int to_standard_output = (options.table == kStandardStream) +
                                 (options.summary == kStandardStream) +
                                 (options.codon_usage == kStandardStream);
  if (to_standard_output > 1) {
    return UsageError(options.codon_usage == kStandardStream
                          ? "only one of the table, the summary and the codon usage can go to "
                            "standard output"
                          : "the table and the summary cannot both go to standard output");
  }
  if (standard_input_closed()) return FileError("opening", kStandardInputName, "it is closed");
  if (to_standard_output != 0 && StandardStreamWasClosed(kStandardOutputDescriptor)) {
    return FileError("opening", kStandardOutputName, "it is closed");
  }
  // Told at most five times a second at a terminal, every ten seconds in a file.
  std::optional<std::chrono::milliseconds> interval;
  if (display != ProgressDisplay::kNone) {
    interval = std::chrono::milliseconds(display == ProgressDisplay::kRedrawn ? 200 : 10000);
  }
  return RunInputs(options, interval);
}

}  // namespace trelba
