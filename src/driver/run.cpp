#include "driver/run.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "driver/annotation_file.hpp"
#include "driver/background_choice.hpp"
#include "driver/error_message.hpp"
#include "driver/help_text.hpp"
#include "driver/input_reader.hpp"
#include "driver/input_run.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/output_names.hpp"
#include "driver/process_setup.hpp"
#include "driver/progress.hpp"
#include "driver/reference_columns.hpp"
#include "driver/reference_genome.hpp"
#include "driver/run_outputs.hpp"
#include "driver/standard_error_sink.hpp"
#include "driver/trna_file.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"
#include "reports/codon_usage_report.hpp"
#include "reports/html_report.hpp"
#include "reports/report_set.hpp"
#include "reports/staged_sink.hpp"
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

int ReportAllInputs(const Options& options, Progress* progress) {
  const TableLayout layout = TableLayoutOf(options);
  std::vector<FileIdentity> identities;
  identities.reserve(options.inputs.size());
  for (const std::string& input : options.inputs) {
    identities.push_back(input == kStandardStream ? IdentifyStandardInput() : IdentifyFile(input));
  }
  if (const auto collision = FindOutputCollision(options, identities)) {
    ErrorLine(*collision);
    return kFailureStatus;
  }
  if (options.output_is_folder) {
    std::error_code ignored;  // a folder that cannot be made fails at its first report
    std::filesystem::create_directories(std::filesystem::u8path(*options.output), ignored);
  }
  if (options.figures) {
    std::error_code ignored;  // a folder that cannot be made fails at its first figure
    std::filesystem::create_directories(std::filesystem::u8path(*options.figures), ignored);
  }
  RunOutputs run(options, layout);
  const auto opening_failed = [](const std::optional<std::string>& error) {
    if (error) ErrorLine(*error);
    return error.has_value();
  };
  if (opening_failed(run.OpenSummary(identities)) || opening_failed(run.OpenPage(identities)) ||
      opening_failed(run.OpenCodonUsage(identities))) {
    return kFailureStatus;
  }
  // One background for every input, unless each input is its own.
  Background shared;
  if (options.background != "input" && opening_failed(ChooseBackground(options, "", shared))) {
    return kFailureStatus;
  }
  const SynonymousCodons synonymous = SynonymousCodonsOf(*options.code);
  std::optional<ReferenceFile> reference;
  std::optional<OptimalCodonsText> optimal;
  if (options.reference && options.reference != kAutomaticReference) {
    if (opening_failed(ReadReferenceFile(options, synonymous, reference.emplace(), optimal))) {
      return kFailureStatus;
    }
    if (TableWaitsForGenome(*reference) && options.inputs.size() > 1) {
      if (const auto problem = FindReferenceGenome(options, synonymous, *reference, nullptr)) {
        return UsageError(*problem);
      }
    }
  } else if (opening_failed(ReadOptimalCodonsFile(options, optimal))) {
    return kFailureStatus;
  }
  std::optional<TrnaWeights> trna;
  if (opening_failed(ReadTrnaFile(options, trna))) return kFailureStatus;
  GeneCountStore genes;
  InputRun r{options,
             options.background == "input" ? nullptr : &shared,
             layout,
             run,
             identities,
             synonymous,
             reference ? &*reference : nullptr,
             genes};
  r.reference_found = options.reference == kAutomaticReference;
  r.optimal = &optimal;
  r.trna = trna ? &*trna : nullptr;
  if (reference && reference->table) WriteReferenceRows(r);
  r.progress = progress;
  bool all_read = true;
  bool any_read = false;
  // A table that cannot be written, or a temporary folder that cannot take the stores, ends
  // the run: no later input could add its rows.
  for (std::size_t i = 0; i < options.inputs.size() && !run.stopped; ++i) {
    bool read = false;
    try {
      read = ReportOneInput(r, i);
    } catch (const std::bad_alloc&) {
      // Outside the pipeline (which tells its own): the input's outputs are gone with it.
      DropInputRows(r);
      if (!r.failure_said) {
        FileError("reading", InputName(options.inputs[i]), FailureCause{0, kOutOfMemory});
      }
    }
    if (progress != nullptr) progress->InputDone();
    all_read = all_read && read;
    any_read = any_read || read;
  }
  // Whatever stood at the outputs' names stays.
  if (run.stopped) return kFailureStatus;
  try {
    WriteReferenceRows(r);  // when no input got so far
    if (opening_failed(run.OpenTable(identities))) return kFailureStatus;
    if (!any_read) {
      run.KeepEarlierFiles();
      return kFailureStatus;
    }
    if (!run.FinishPage()) return kFailureStatus;
    run.FinishCodonUsage();
    if (!run.Commit()) return kFailureStatus;
  } catch (const std::bad_alloc&) {
    if (!all_read) return kFailureStatus;  // an input's error said it already
    throw;
  }
  return all_read ? 0 : kFailureStatus;
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
  for (const std::string& line : options.warnings) Warning(line);
  SetSyncOnCommit(options.sync);
  // No genetic code given: a GenBank, EMBL or GFF3 first input's translation table.
  if (!options.ncbi_table && !options.variant && !options.code_argument &&
      !options.inputs.empty()) {
    if (const auto table = FirstTranslationTable(options.gff.value_or(options.inputs.front()))) {
      if (const GeneticCode* code = NcbiGeneticCode(*table)) options.code = code;
    }
  }
  GffAnnotation annotation;
  if (options.gff) {
    if (const auto error = ReadGffFile(*options.gff, annotation)) {
      ErrorLine(*error);
      return kFailureStatus;
    }
    options.annotation = &annotation;
  }
  // Every buffer is had before an input is read: memory that cannot be had means the
  // input cannot be read, and no report is changed.
  // Told at most five times a second at a terminal, every ten seconds in a file.
  std::optional<Progress> progress;
  if (display != ProgressDisplay::kNone) {
    progress.emplace(options.inputs.size(),
                     std::chrono::milliseconds(display == ProgressDisplay::kRedrawn ? 200 : 10000));
  }
  try {
    const int status = ReportAllInputs(options, progress ? &*progress : nullptr);
    if (progress) progress->Finish();
    // --strict: a warning is as good as an error to a pipeline that asks so.
    return options.strict && WarningsGiven() != 0 ? kFailureStatus : status;
  } catch (const std::bad_alloc&) {
    return FileError("reading", InputName(options.inputs.front()), FailureCause{0, kOutOfMemory});
  }
}

}  // namespace trelba
