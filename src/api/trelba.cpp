#include "trelba/trelba.hpp"

#include <cerrno>
#include <functional>

#include "analysis/correspondence_analysis.hpp"
#include "api/table_text_reader.hpp"
#include "driver/annotation_file.hpp"
#include "driver/background_choice.hpp"
#include "driver/error_message.hpp"
#include "driver/input_reader.hpp"
#include "driver/message_sink.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/output_names.hpp"
#include "driver/reference_columns.hpp"
#include "driver/reference_genome.hpp"
#include "driver/run_of_inputs.hpp"
#include "driver/trna_file.hpp"
#include "driver/whole_input_columns.hpp"
#include "input/annotation_warnings.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"
#include "input/interruption.hpp"
#include "input/temporary_folder.hpp"
#include "reports/column_catalog.hpp"
#include "reports/staged_sink.hpp"
#include "trelba/ieee_double.hpp"

namespace trelba {
namespace {

// The caller's hooks as the library's message sink and interruption check, for the call's
// thread while the call lasts: warnings go to the caller, nothing to standard error.
class CallerScope final : public MessageSink, public InterruptionCheck {
 public:
  explicit CallerScope(const CallerHooks& hooks)
      : hooks_(hooks), messages_(*this), interruption_(*this) {}

  void Begin(MessageKind kind) override {
    kind_ = kind;
    line_.clear();
  }
  void Write(std::string_view piece) override { line_.append(piece); }
  void End() override {
    if (kind_ == MessageKind::kWarning) {
      if (hooks_.warning) hooks_.warning(line_);
    } else if (first_error_.empty()) {
      first_error_ = line_;
    }
  }
  bool Requested(bool signal_arrived) override {
    return hooks_.interrupted && hooks_.interrupted(signal_arrived);
  }

  // The first error line said (the command line's run says its errors and goes on).
  const std::string& first_error() const { return first_error_; }

  // Throws Interrupted when the caller has asked to stop.
  void StopIfAsked() const {
    if (interruption_.requested()) throw Interrupted();
  }

 private:
  const CallerHooks& hooks_;
  MessageKind kind_ = MessageKind::kError;
  std::string line_;
  std::string first_error_;
  MessageScope messages_;
  InterruptionScope interruption_;
};

struct Setting {
  const char* option;
  std::optional<std::string> value;
};

// A caller's stream as the bytes of a file.
class CallerSource final : public ByteSource {
 public:
  explicit CallerSource(const std::function<std::ptrdiff_t(char*, std::size_t)>& read)
      : read_(read) {}
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override {
    if (error()) return -1;
    errno = 0;
    const std::ptrdiff_t n = read_(buffer, capacity);
    if (n >= 0 && static_cast<std::size_t>(n) <= capacity) return n;
    return Fail({n < 0 ? errno : EIO});
  }

 private:
  const std::function<std::ptrdiff_t(char*, std::size_t)>& read_;
};

// Which output of the command line a call makes, written to standard output.
enum class Output { kTable, kSummary, kCodonUsage };

// The command line of the options `settings` and `table`'s flags; `first` is its input.
std::vector<std::string> Arguments(const std::vector<Setting>& settings, const TableSettings& table,
                                   const std::string& first, Output output = Output::kTable) {
  const char* option = output == Output::kTable     ? "--table"
                       : output == Output::kSummary ? "--summary"
                                                    : "--codon-usage";
  std::vector<std::string> args = {"Trelba", "--no-reports", option, "-"};
  for (const Setting& setting : settings) {
    if (setting.value) args.push_back(std::string(setting.option) + "=" + *setting.value);
  }
  if (table.file_column) args.emplace_back("--file-column");
  if (table.counts) args.emplace_back("--counts");
  if (table.description) args.emplace_back("--description");
  if (table.cds_only) args.emplace_back("--cds-only");
  if (table.skip_first_codon) args.emplace_back("--skip-first-codon");
  args.emplace_back("--");
  args.push_back(first);
  return args;
}

CommandLine Parse(const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

// The settings that take a value, by their options.
std::vector<Setting> SettingsOf(const TableSettings& table) {
  return {{"--variant", table.variant},
          {"--gcode", table.gcode},
          {"--background", table.background},
          {"--threads", table.threads},
          {"--reference", table.reference},
          {"--columns", table.columns},
          {"--coa", table.coa},
          {"--gff", table.gff},
          {"--trna", table.trna},
          {"--optimal-codons", table.optimal_codons},
          {"--min-codons", table.min_codons}};
}

// The setting a problem of the command line's begins with ("--optimal-codons gives ...:
// it needs --reference"), so that the error names it; empty for none.
std::string LeadingOption(const std::string& problem) {
  for (const Setting& setting : SettingsOf({})) {
    const std::string_view option = setting.option;
    if (problem.starts_with(option) && problem.size() > option.size() &&
        problem[option.size()] == ' ') {
      return setting.option;
    }
  }
  return {};
}

// The options of the command line the settings stand for, parsed as the command line is
// (so a setting is refused with the command line's words, its option named in the error);
// `first` is its first input.
Options ParseSettings(const TableSettings& table, const std::string& first,
                      Output output = Output::kTable) {
  const std::vector<Setting> settings = SettingsOf(table);
  if (table.variant && table.gcode) {
    throw Error("--variant and --gcode cannot both be given", {}, 0, "--gcode");
  }
  for (const Setting& setting : settings) {
    // A NUL would end the option's value where the command line reads it.
    if (setting.value && setting.value->find('\0') != std::string::npos) {
      throw Error(std::string(setting.option) + " cannot hold a NUL byte", {}, 0, setting.option);
    }
    const CommandLine alone = Parse(Arguments({setting}, {}, first));
    if (!alone.error.empty()) throw Error(alone.error, {}, 0, setting.option);
  }
  CommandLine command_line = Parse(Arguments(settings, table, first, output));
  if (!command_line.error.empty()) {
    throw Error(command_line.error, {}, 0, LeadingOption(command_line.error));
  }

  for (const std::string& line : command_line.options.warnings) Warning(line);
  return std::move(command_line.options);
}

// The error of an input that could not be read to its end.
// (`scanner`: the cause the reading found itself; a file of the temporary folder's is told
// as the folder's.)
void ThrowUnread(const CallerScope& caller, InputOutcome::Status status, const std::string& name,
                 const std::string& file, const ByteSource& input,
                 const FailureCause& scanner = {}) {
  caller.StopIfAsked();
  if (scanner.in_temporary_folder) {
    throw Error(TemporaryFolderErrorText(scanner), TemporaryFolder(), scanner.code);
  }
  const bool memory = status == InputOutcome::Status::kNoMemory;
  throw Error(FileErrorText("reading", name, CauseOf(status, input)), file,
              memory ? ENOMEM : input.error().code);
}

// The background of the settings (`input`: the input `path`'s own).
void Choose(const CallerScope& caller, const Options& options, const std::string& path,
            Background& background) {
  FailureCause cause;
  if (const auto error = ChooseBackground(options, path, background, nullptr, nullptr, &cause)) {
    caller.StopIfAsked();
    throw Error(*error, options.background == "input" ? path : *options.background, cause.code);
  }
}

// The table's rows, written as the command line writes them for each input.
class TableWriter {
 public:
  TableWriter(const CallerScope& caller, const Options& options, ByteSink& sink)
      : caller_(caller),
        options_(options),
        layout_(TableLayoutOf(options)),
        synonymous_(SynonymousCodonsOf(*options.code)),
        buffer_(sink),
        reader_(ThreadCount(options)) {
    WriteTableHeader(buffer_, layout_);
    if (options.background != "input") Choose(caller, options, "", shared_);
    FailureCause cause;
    if (options.reference && options.reference != kAutomaticReference) {
      if (const auto error = ReadReferenceFile(options, synonymous_, reference_file_.emplace(),
                                               optimal_, &cause)) {
        caller.StopIfAsked();
        throw Error(*error, *options.reference, cause.code);
      }
      if (TableWaitsForGenome(*reference_file_) && options.inputs.size() > 1) {
        if (const auto problem =
                FindReferenceGenome(options, synonymous_, *reference_file_, &reader_)) {
          throw Error(*problem);
        }
      }
    } else if (const auto error = ReadOptimalCodonsFile(options, optimal_, &cause)) {
      caller.StopIfAsked();
      throw Error(*error, *options.optimal_codons, cause.code);
    }
    if (const auto error = ReadTrnaFile(options, trna_, &cause)) {
      caller.StopIfAsked();
      throw Error(*error, *options.trna, cause.code);
    }
    if (options.gff) {
      if (const auto error = ReadGffFile(*options.gff, annotation_, &cause)) {
        caller.StopIfAsked();
        throw Error(*error, *options.gff, cause.code);
      }
    }
    if (options.coa_kind) coa_columns_.emplace(CoaColumnsOf(*options.coa_kind, synonymous_));
  }

  // Adds the rows of `input`, called `name` in messages and `label` in the table;
  // `background` is its own (null: the run's).
  void Add(ByteSource& input, const std::string& name, std::string_view label,
           const std::string& file, const Background* background) {
    ReportRequest request;
    request.style = {options_.code, layout_, label, background != nullptr ? background : &shared_};
    request.style.trna = trna_ ? &*trna_ : nullptr;
    request.style.filters = {options_.min_codon_count, options_.cds_only,
                             options_.skip_first_codon};
    request.threads = ThreadCount(options_);
    request.table_header = false;
    if (options_.gff) request.annotation = &annotation_;
    if (coa_columns_) {
      request.coa = &coa_sums_.emplace(*coa_columns_);
      request.style.coa = &*coa_columns_;  // each gene's row made by the worker, as the run's
    }
    // With a reference set or --coa, the rows wait for the columns that need the whole input.
    const bool reference = options_.reference.has_value();
    const bool whole = reference || coa_columns_.has_value();
    request.outputs.table = whole ? &staged_table_ : &buffer_;
    if (whole) {
      request.store = &genes_;
      request.held_rows = &staged_;
    }
    request.style.mark_genes = reference && !reference_file_;
    if (reference_file_ && reference_file_->genes_given) {
      request.match = &reference_file_->identities;
    }
    InputOutcome outcome = reader_.Read(input, request);
    // A store whose file failed stopped the reading (its rows' buffer failed): the
    // temporary folder is named, not the input.
    if (staged_.spill_failed()) ThrowTemporary(staged_.error());
    if (genes_.failed()) ThrowTemporary(genes_.error());
    if (outcome.status != InputOutcome::Status::kDone) {
      staged_table_.Clear();
      staged_.Drop();
      ThrowUnread(caller_, outcome.status, name, file, input, outcome.cause);
    }
    if (whole) AddWholeInputColumns(name, label, outcome);
    if (outcome.annotated) {
      for (const std::string& line :
           AnnotationWarnings(name, outcome.format, outcome.annotation, *options_.code,
                              outcome.gff_without_fasta)) {
        Warning(line);
      }
    }
    const InputTotals& totals = outcome.totals;
    for (const std::string& line : InputWarnings(name, totals.survey, totals.u_letters,
                                                 outcome.any_header() || outcome.annotated,
                                                 request.style.filters, outcome.first_byte)) {
      Warning(line);
    }
  }

  void Finish() {
    if (!buffer_.Flush()) throw std::bad_alloc();  // the sinks fail for want of memory only
  }

 private:
  // The columns of the whole input behind each staged row: those against the reference set
  // and the genes' coordinates.
  void AddWholeInputColumns(const std::string& name, std::string_view label,
                            InputOutcome& outcome) {
    WholeInputSources sources;
    CoaResult coa;
    if (coa_sums_) {
      coa = SolveCoa(*coa_sums_);
      sources.coa_columns = &*coa_columns_;
      sources.coa = &coa;
    }
    ReferenceTotals reference;
    if (options_.reference) {
      AddReference(name, label, outcome, reference);
      sources.reference = &reference;
    }
    const bool released =
        staged_table_.Flush() &&
        trelba::AddWholeInputColumns(layout_, outcome.totals, &staged_, &buffer_, sources);
    if (released) return;
    if (staged_.spill_failed()) ThrowTemporary(staged_.error());
    if (buffer_.failed() || staged_.error()) throw std::bad_alloc();  // the sinks want memory
    ThrowTemporary(genes_.error() ? genes_.error() : FailureCause{EIO, nullptr, true});
  }

  void AddReference(const std::string& name, std::string_view label, InputOutcome& outcome,
                    ReferenceTotals& reference) {
    const WholeInputReference input{
        *options_.code, synonymous_, reference_file_ ? &*reference_file_ : nullptr,  optimal_,
        name,           label,       layout_.Has(ColumnGroup::kCompositionReference)};
    if (ChooseReference(input, outcome.totals, outcome.scanner.sequence, reference) ==
        ReferenceFound::kUnreadable) {
      ThrowTemporary(genes_.error() ? genes_.error() : FailureCause{EIO, nullptr, true});
    }
  }

  // A file of the temporary folder failed: the folder is named, with the cause.
  [[noreturn]] void ThrowTemporary(const FailureCause& cause) const {
    caller_.StopIfAsked();
    throw Error(TemporaryFolderErrorText(cause), TemporaryFolder(), cause.code);
  }

  const CallerScope& caller_;
  const Options& options_;
  TableLayout layout_;
  Background shared_;
  SynonymousCodons synonymous_;
  std::optional<ReferenceFile> reference_file_;
  std::optional<OptimalCodonsText> optimal_;
  std::optional<TrnaWeights> trna_;
  GffAnnotation annotation_;               // --gff
  std::optional<CoaColumns> coa_columns_;  // --coa
  std::optional<CoaSums> coa_sums_;        // of the input's genes
  GeneCountStore genes_;
  StagedSink staged_;
  OutputBuffer staged_table_{staged_};
  OutputBuffer buffer_;
  InputReader reader_;
};

// The options of `settings` for `inputs`, checked as the command line checks them; a stream
// may not be read twice.
Options InputOptions(const std::vector<Input>& inputs, const TableSettings& settings,
                     Output output) {
  if (!RoundsToNearest()) throw Error(kRoundingModeProblem);
  if (inputs.empty()) throw Error("no file name given");
  for (const Input& input : inputs) {
    if (input.name.find('\0') != std::string::npos) {
      throw Error(FileErrorText("opening", input.name, "a file name cannot hold a NUL byte"),
                  input.name, EINVAL);
    }
  }
  Options options = ParseSettings(settings, inputs.front().name, output);
  options.inputs.clear();
  for (const Input& input : inputs) {
    options.inputs.push_back(input.name);
    if (input.read && options.background == "input") {
      throw Error("--background input reads each input twice, and a stream is read once", {}, 0,
                  "--background");
    }
  }
  if (const std::string problem = CheckInputs(options); !problem.empty()) {
    throw Error(problem, {}, 0, LeadingOption(problem));
  }
  return options;
}

// Opens `input` (a file or the caller's stream `source`); throws the error of one that
// cannot be opened or is refused.
void OpenInput(const CallerScope& caller, const Input& input, CallerSource& source,
               InputFile& file) {
  const std::string& path = input.name;
  const bool standard = !input.read && path == kStandardStream;
  const std::string name = standard ? std::string(kStandardInputName) : path;
  const bool opened = input.read ? file.OpenSource(source)
                      : standard ? file.OpenDescriptor(kStandardInputDescriptor)
                                 : file.Open(path);
  if (!opened) {
    const int cause = file.error().code;
    caller.StopIfAsked();
    throw Error(FileErrorText("opening", name), path, cause);
  }
  if (file.refusal() != nullptr) {
    throw Error(FileErrorText("reading", name, file.refusal()), path);
  }
}

void WriteTableOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                        ByteSink& sink, const CallerHooks& hooks) {
  const CallerScope caller(hooks);
  Options options = InputOptions(inputs, settings, Output::kTable);
  // (A pipe or a FIFO is read once: not looked into first.)
  if (!inputs.front().read && !ReadableOnce(inputs.front().name)) TakeCodeOfFirstInput(options);
  TableWriter writer(caller, options, sink);
  for (const Input& given : inputs) {
    const std::string& path = given.name;
    const bool standard = !given.read && path == kStandardStream;
    const std::string name = standard ? std::string(kStandardInputName) : path;
    const std::string label = standard ? std::string(StandardInputLabel(options)) : path;
    InputFile input;
    CallerSource source(given.read);
    OpenInput(caller, given, source, input);
    Background own;
    if (options.background == "input") Choose(caller, options, path, own);
    writer.Add(input, name, label, path, options.background == "input" ? &own : nullptr);
  }
  writer.Finish();
}

// The summary or the codon usage of `inputs`, made by the command line's own run.
void WriteRunOutput(const std::vector<Input>& inputs, const TableSettings& settings, Output output,
                    ByteSink& sink, const CallerHooks& hooks) {
  const CallerScope caller(hooks);
  Options options = InputOptions(inputs, settings, output);
  options.warnings.clear();  // given by ParseSettings already
  // A file that cannot be opened is told by its cause, as the table tells it.
  for (const Input& input : inputs) {
    if (input.read) continue;
    InputFile file;
    CallerSource none(input.read);
    OpenInput(caller, input, none, file);
  }
  std::vector<CallerSource> sources;
  sources.reserve(inputs.size());
  for (const Input& input : inputs) {
    sources.emplace_back(input.read);
    options.sources.push_back(input.read ? &sources.back() : nullptr);
  }
  options.standard_output = &sink;
  const int status = RunInputs(options);
  caller.StopIfAsked();
  if (status != 0) {
    throw Error(caller.first_error().empty() ? "the run failed" : caller.first_error());
  }
}

std::string RunOutputText(const std::vector<Input>& inputs, const TableSettings& settings,
                          Output output, const CallerHooks& hooks) {
  StringSink sink;
  WriteRunOutput(inputs, settings, output, sink, hooks);
  return std::move(sink.text);
}

void WriteTableOfText(std::string_view fasta, const TableSettings& settings, std::string_view label,
                      ByteSink& sink, const CallerHooks& hooks) {
  const CallerScope caller(hooks);
  if (!RoundsToNearest()) throw Error(kRoundingModeProblem);
  const Options options = ParseSettings(settings, std::string(kStandardStream));
  // The command line's checks of the settings with its inputs (--optimal-codons needs
  // --reference), the text standing for an input that is no stream.
  Options checked = options;
  checked.inputs = {std::string()};
  checked.background.reset();
  if (const std::string problem = CheckInputs(checked); !problem.empty()) {
    throw Error(problem, {}, 0, LeadingOption(problem));
  }
  const std::string name(label);
  TableWriter writer(caller, options, sink);
  Background own;
  if (options.background == "input") {
    TextSource pool(fasta);
    CodonCounts pooled{};
    const InputOutcome::Status status = PoolSourceCounts(pool, options, pooled);
    if (status != InputOutcome::Status::kDone) ThrowUnread(caller, status, name, {}, pool);
    own = BackgroundOfCounts(options, name, pooled);
  }
  TextSource input(fasta);
  writer.Add(input, name, label, {}, options.background == "input" ? &own : nullptr);
  writer.Finish();
}

std::vector<Input> FileInputs(const std::vector<std::string>& paths) {
  std::vector<Input> inputs;
  inputs.reserve(paths.size());
  for (const std::string& path : paths) inputs.push_back({path, {}});
  return inputs;
}

}  // namespace

std::string TableOfFiles(const std::vector<std::string>& paths, const TableSettings& settings,
                         const CallerHooks& hooks) {
  return TableOfInputs(FileInputs(paths), settings, hooks);
}

void TableOfFiles(const std::vector<std::string>& paths, const TableSettings& settings,
                  TableReceiver& receiver, const CallerHooks& hooks) {
  TableOfInputs(FileInputs(paths), settings, receiver, hooks);
}

std::string TableOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                          const CallerHooks& hooks) {
  StringSink sink;
  WriteTableOfInputs(inputs, settings, sink, hooks);
  return std::move(sink.text);
}

void TableOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                   TableReceiver& receiver, const CallerHooks& hooks) {
  TableTextReader reader(receiver);
  WriteTableOfInputs(inputs, settings, reader, hooks);
}

std::string SummaryOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                            const CallerHooks& hooks) {
  return RunOutputText(inputs, settings, Output::kSummary, hooks);
}

void SummaryOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                     TableReceiver& receiver, const CallerHooks& hooks) {
  TableTextReader reader(receiver, SummaryCatalog());
  WriteRunOutput(inputs, settings, Output::kSummary, reader, hooks);
}

std::string CodonUsageOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                               const CallerHooks& hooks) {
  return RunOutputText(inputs, settings, Output::kCodonUsage, hooks);
}

void CodonUsageOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                        TableReceiver& receiver, const CallerHooks& hooks) {
  TableTextReader reader(receiver, CodonUsageCatalog());
  WriteRunOutput(inputs, settings, Output::kCodonUsage, reader, hooks);
}

std::string TableOfText(std::string_view fasta, const TableSettings& settings,
                        std::string_view label, const CallerHooks& hooks) {
  StringSink sink;
  WriteTableOfText(fasta, settings, label, sink, hooks);
  return std::move(sink.text);
}

void TableOfText(std::string_view fasta, const TableSettings& settings, std::string_view label,
                 TableReceiver& receiver, const CallerHooks& hooks) {
  TableTextReader reader(receiver);
  WriteTableOfText(fasta, settings, label, reader, hooks);
}

std::vector<Column> TableColumns(const TableSettings& settings, std::size_t files) {
  Options options;
  options.inputs.resize(files);
  options.file_column = settings.file_column;
  options.counts = settings.counts;
  options.description = settings.description;
  options.reference = settings.reference;
  options.trna = settings.trna;
  options.gff = settings.gff;
  options.min_codons = settings.min_codons;
  options.cds_only = settings.cds_only;
  // Every kind of analysis gives the genes the same columns.
  if (settings.coa) options.coa_kind = CoaKind::kCodons;
  if (settings.columns) {
    const std::string problem = AddColumnGroups(*settings.columns, options.column_groups);
    if (!problem.empty()) throw Error(problem, {}, 0, "--columns");
  }
  StringSink header;
  {
    OutputBuffer buffer(header);
    WriteTableHeader(buffer, TableLayoutOf(options));
    buffer.Flush();
  }
  header.text.pop_back();  // the line feed
  return ColumnsOfHeader(header.text);
}

}  // namespace trelba
