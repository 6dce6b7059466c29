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
#include "driver/background_choice.hpp"
#include "driver/error_message.hpp"
#include "driver/help_text.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/output_names.hpp"
#include "driver/process_setup.hpp"
#include "driver/report_input.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"
#include "reports/gzip_sink.hpp"
#include "reports/html_report.hpp"
#include "reports/report_set.hpp"
#include "reports/staged_sink.hpp"
#include "reports/summary_report.hpp"

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
    return FileErrorText("opening", shown);
  }
  std::string text;
  char block[1 << 14];
  for (std::ptrdiff_t n = 0; (n = list.Read(block, sizeof block)) != 0;) {
    if (n < 0) return FileErrorText("reading", shown, list.refusal());
    text.append(block, static_cast<std::size_t>(n));
  }
  for (std::string& input : ListedInputs(text)) options.inputs.push_back(std::move(input));
  return std::nullopt;
}

// The outputs that gather every input: the table and the summary.
class RunOutputs {
 public:
  RunOutputs(const Options& options, const TableLayout& layout)
      : options_(options), layout_(layout) {}

  // Opens the table, when there is one and it is not open yet (so that a single input's
  // own errors come first, as they always did); the error line when it cannot be.
  std::optional<std::string> OpenTable(const std::vector<FileIdentity>& inputs) {
    if (!options_.table || table_ != nullptr) return std::nullopt;
    table_ = Open(*options_.table, inputs);
    if (table_ == nullptr) return FileErrorText("opening", *options_.table);
    WriteTableHeader(*table_, layout_);
    return std::nullopt;
  }

  std::optional<std::string> OpenSummary(const std::vector<FileIdentity>& inputs) {
    if (!options_.summary) return std::nullopt;
    summary_ = Open(*options_.summary, inputs);
    if (summary_ == nullptr) return FileErrorText("opening", *options_.summary);
    WriteSummaryHeader(*summary_);
    return std::nullopt;
  }

  OutputBuffer* table() { return table_; }
  bool table_failed = false;  // could not be opened or written, and said so
  OutputBuffer* summary() { return summary_; }
  ReportSet& set() { return set_; }

  // The HTML report, opened and begun when asked for.
  std::optional<std::string> OpenPage(const std::vector<FileIdentity>& inputs) {
    if (!options_.report) return std::nullopt;
    page_buffer_ = Open(*options_.report, inputs);
    if (page_buffer_ == nullptr) return FileErrorText("opening", *options_.report);
    page_.emplace(*page_buffer_, *options_.code, options_.background.value_or("even"));
    return std::nullopt;
  }
  HtmlReport* page() { return page_ ? &*page_ : nullptr; }

  // Adds an input's section to the HTML report. Memory that runs out while the section is
  // drawn fails the page (said once), not the input, whose reports may be in place.
  void AddToPage(const PageInput& input) {
    OnPage([&] { page_->AddInput(input); });
  }
  void FinishPage() {
    OnPage([&] { page_->Finish(); });
  }
  bool page_failed = false;  // and said so

 private:
  OutputBuffer* Open(const std::string& name, const std::vector<FileIdentity>& inputs) {
    const bool compressed = NamesGzipFile(name);
    if (name == kStandardStream) return set_.OpenStandardOutput(compressed);
    // No input is written over (output_names.hpp has checked each against them).
    return set_.OpenFile(name, inputs.empty() ? FileIdentity{} : inputs.front(), compressed, true);
  }

  const Options& options_;
  const TableLayout& layout_;
  ReportSet set_;
  OutputBuffer* table_ = nullptr;
  OutputBuffer* summary_ = nullptr;
  template <class Draw>
  void OnPage(Draw&& draw) {
    if (!page_ || page_failed) return;
    try {
      draw();
    } catch (const std::bad_alloc&) {
      page_failed = true;
      page_buffer_->Fail();
      FileError("writing", *options_.report, CauseOf(InputOutcome::Status::kOutOfMemory));
    }
  }

  std::optional<HtmlReport> page_;
  OutputBuffer* page_buffer_ = nullptr;
};

struct InputRun {
  const Options& options;
  const Background* shared_background;  // null when each input is its own
  const TableLayout& layout;
  RunOutputs& run;
  const std::vector<FileIdentity>& identities;
  OutputBuffer& staged_table;  // this input's rows, held in `staged`
  StagedSink& staged;
  // One for every input, made once the first input's outputs have their buffers, so that
  // the threads take what memory is left.
  std::unique_ptr<InputReader>& reader;
  // Interruptions wait from the last input's reports to the table's and summary's commit,
  // so that a run of one input replaces its reports and table together or not at all.
  std::optional<DeferInterrupts>& hold;
};

// Reads one input and writes its reports and table rows; adds its summary row. Returns
// false after an error, which has been printed.
bool ReportOneInput(InputRun& r, std::size_t index) {
  const Options& options = r.options;
  const std::string& input_argument = options.inputs[index];
  const bool from_standard_input = input_argument == kStandardStream;
  const std::string label =
      from_standard_input ? std::string(StandardInputLabel(options)) : input_argument;
  const std::string input_name(InputName(input_argument));
  SummaryRow row;
  row.file = label;
  auto fail = [&](const std::string& error) {
    ErrorLine(error);
    r.staged_table.Clear();
    r.staged.Drop();
    row.error = error;
    if (r.run.summary() != nullptr) WriteSummaryRow(*r.run.summary(), row);
    r.run.AddToPage({.file = label, .error = error});
    return false;
  };

  InputFile input;
  input.SetInflateThreads(ThreadCount(options));
  const bool opened = from_standard_input ? input.OpenDescriptor(kStandardInputDescriptor)
                                          : input.Open(input_argument);
  if (!opened) return fail(FileErrorText("opening", input_name));
  // Refused text (UTF-16, UTF-32) fails before any report file is created.
  if (input.refusal() != nullptr)
    return fail(FileErrorText("reading", input_name, input.refusal()));

  // Opened in this order: family order report, score report, codon count report; none of
  // them may be the input itself.
  // The expected score shows only in the table, the summary and the HTML report.
  const bool excess_shown = options.table || options.summary || options.report;
  Background own_background;
  if (r.shared_background == nullptr && excess_shown) {
    if (const auto error = ChooseBackground(options, input_argument, own_background)) {
      return fail(*error);
    }
  }
  ReportSet reports;
  ReportRequest request;
  request.style = {options.code, r.layout, label,
                   !excess_shown                    ? nullptr
                   : r.shared_background != nullptr ? r.shared_background
                                                    : &own_background};
  request.threads = ThreadCount(options);
  request.table_header = false;
  request.keep_scores = options.summary.has_value();
  request.style.plot = options.report.has_value();
  if (!options.no_reports) {
    const std::string prefix = ReportPrefix(options, input_argument, label);
    OutputBuffer** const slots[] = {&request.outputs.order, &request.outputs.scores,
                                    &request.outputs.counts};
    static_assert(std::size(slots) == kReportSuffixes.size());
    for (std::size_t k = 0; k < kReportSuffixes.size(); ++k) {
      const std::string name = prefix + std::string(kReportSuffixes[k]);
      *slots[k] = reports.OpenFile(name, r.identities[index]);
      if (*slots[k] == nullptr) return fail(FileErrorText("opening", name));
    }
  }
  if (const auto error = r.run.OpenTable(r.identities)) {
    r.run.table_failed = true;
    return fail(*error);
  }
  if (r.run.table() != nullptr) request.outputs.table = &r.staged_table;

  if (r.reader == nullptr) r.reader = std::make_unique<InputReader>(request.threads);
  InputOutcome outcome = r.reader->Read(input, request);
  if (outcome.status == InputOutcome::Status::kReadFailed ||
      outcome.status == InputOutcome::Status::kOutOfMemory) {
    return fail(FileErrorText("reading", input_name, CauseOf(outcome.status)));
  }
  if (const std::string* failed = reports.Failed()) return fail(FileErrorText("writing", *failed));
  // The rows go to the table before the reports are put in place, so that a table that
  // cannot be written leaves them as they were (a one-input run replaces all or nothing).
  if (r.run.table() != nullptr) {
    const bool staged = !r.staged_table.failed() && r.staged_table.Flush();
    if (!(staged && r.staged.Release(*r.run.table()) && r.run.table()->Flush())) {
      r.run.table_failed = true;
      return fail(FileErrorText("writing", OutputName(*options.table)));
    }
  }
  if (const std::string* failed = reports.Close()) return fail(FileErrorText("writing", *failed));
  if (index + 1 == options.inputs.size()) r.hold.emplace();
  if (const std::string* failed = reports.Commit()) return fail(FileErrorText("writing", *failed));
  const InputTotals& totals = outcome.totals;
  for (const std::string& line :
       InputWarnings(input_name, totals.survey, totals.u_letters, outcome.any_header())) {
    Warning(line);
  }
  if (r.run.summary() != nullptr) {
    row.sequences = outcome.scanner.sequence;
    row.codons = totals.coding.codons;
    row.average = totals.average.empty() ? std::nan("") : totals.average.value();
    row.median_score = outcome.totals.scores.Median();
    row.median_excess = outcome.totals.excesses.Median();
    row.gc = GcContent(totals.coding);
    row.gc3 = Gc3Content(totals.coding);
    row.internal_stop_sequences = totals.survey.internal_stop_sequences;
    row.partial_sequences = totals.survey.partial_sequences;
    row.comment_lines = totals.survey.comment_lines;
    row.inline_headers = totals.survey.inline_headers;
    WriteSummaryRow(*r.run.summary(), row);
  }
  r.run.AddToPage(PageInputOf(label, outcome));
  return true;
}

int ReportAllInputs(const Options& options) {
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
  RunOutputs run(options, layout);
  if (const auto error = run.OpenSummary(identities)) {
    ErrorLine(*error);
    return kFailureStatus;
  }
  if (const auto error = run.OpenPage(identities)) {
    ErrorLine(*error);
    return kFailureStatus;
  }
  // One background for every input, unless each input is its own.
  Background shared;
  if (options.background != "input") {
    if (const auto error = ChooseBackground(options, "", shared)) {
      ErrorLine(*error);
      return kFailureStatus;
    }
  }
  StagedSink staged;
  OutputBuffer staged_table(staged);
  std::unique_ptr<InputReader> reader;
  std::optional<DeferInterrupts> hold;
  InputRun r{options,    options.background == "input" ? nullptr : &shared,
             layout,     run,
             identities, staged_table,
             staged,     reader,
             hold};
  bool all_read = true;
  // A table that cannot be written ends the run: no later input could add its rows.
  for (std::size_t i = 0; i < options.inputs.size() && !run.table_failed; ++i) {
    try {
      all_read = ReportOneInput(r, i) && all_read;
    } catch (const std::bad_alloc&) {
      // Outside the pipeline (which tells its own): the input's outputs are gone with it.
      staged_table.Clear();
      staged.Drop();
      FileError("reading", InputName(options.inputs[i]),
                CauseOf(InputOutcome::Status::kOutOfMemory));
      all_read = false;
    }
  }
  // A table of inputs none of which could be opened still gets its header.
  if (const auto error = run.table_failed ? std::nullopt : run.OpenTable(identities)) {
    ErrorLine(*error);
    return kFailureStatus;
  }
  run.FinishPage();
  if (const std::string* failed = run.set().Commit()) {
    if (run.table_failed && *failed == OutputName(*options.table)) return kFailureStatus;
    if (run.page_failed && *failed == *options.report) return kFailureStatus;
    return FileError("writing", *failed);
  }
  return all_read ? 0 : kFailureStatus;
}

}  // namespace

int Run(int argc, const char* const* argv) {
  if (argc < 2) {
    Print(kMissingParameterText);
    return kFailureStatus;
  }
  CommandLine command_line = ParseCommandLine(argc, argv);
  if (!command_line.error.empty()) return UsageError(command_line.error);
  Options& options = command_line.options;
  if (options.action == Options::Action::kHelp) return Print(kHelpText);
  if (options.action == Options::Action::kVersion) return Print("Trelba " TRELBA_VERSION "\n");
  // A closed stream was put on /dev/null when the process started: reading or writing it
  // would go on without a word.
  const auto standard_input_closed = [&] {
    const bool reads_standard_input = options.infile_list == kStandardStream ||
                                      options.background == kStandardStream ||
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
  if (options.table == kStandardStream && options.summary == kStandardStream) {
    return UsageError("the table and the summary cannot both go to standard output");
  }
  if (standard_input_closed()) return FileError("opening", kStandardInputName, "it is closed");
  if ((options.table == kStandardStream || options.summary == kStandardStream) &&
      StandardStreamWasClosed(kStandardOutputDescriptor)) {
    return FileError("opening", kStandardOutputName, "it is closed");
  }
  for (const std::string& line : options.warnings) Warning(line);
  SetSyncOnCommit(options.sync);
  // Every buffer is had before an input is read: memory that cannot be had means the
  // input cannot be read, and no report is changed.
  try {
    const int status = ReportAllInputs(options);
    // --strict: a warning is as good as an error to a pipeline that asks so.
    return options.strict && WarningsGiven() != 0 ? kFailureStatus : status;
  } catch (const std::bad_alloc&) {
    return FileError("reading", InputName(options.inputs.front()),
                     CauseOf(InputOutcome::Status::kOutOfMemory));
  }
}

}  // namespace trelba
