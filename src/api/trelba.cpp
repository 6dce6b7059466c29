#include "trelba/trelba.hpp"

#include "driver/background_choice.hpp"
#include "driver/error_message.hpp"
#include "driver/input_reader.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/output_names.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"
#include "reports/table_report.hpp"

namespace trelba {
namespace {

// The options of the command line the settings stand for, parsed as the command line is
// (so a setting is refused with the command line's words); `first` is its first input.
Options ParseSettings(const TableSettings& settings, const std::string& first) {
  std::vector<std::string> args = {"Trelba", "--no-reports", "--table", "-"};
  const std::pair<const char*, const std::optional<std::string>*> values[] = {
      {"--variant", &settings.variant},
      {"--gcode", &settings.gcode},
      {"--background", &settings.background}};
  for (const auto& [name, value] : values) {
    if (!value->has_value()) continue;
    args.push_back(std::string(name) + "=" + **value);
  }
  if (settings.threads != 0) args.push_back("--threads=" + std::to_string(settings.threads));
  if (settings.file_column) args.emplace_back("--file-column");
  if (settings.counts) args.emplace_back("--counts");
  if (settings.description) args.emplace_back("--description");
  args.emplace_back("--");
  args.push_back(first);
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  CommandLine command_line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
  if (!command_line.error.empty()) throw Error(command_line.error);
  for (const std::string& line : command_line.options.warnings) Warning(line);
  return std::move(command_line.options);
}

// The table's rows, written as the command line writes them for each input.
class TableWriter {
 public:
  explicit TableWriter(const Options& options)
      : options_(options),
        layout_(TableLayoutOf(options)),
        buffer_(sink_),
        reader_(ThreadCount(options)) {
    WriteTableHeader(buffer_, layout_);
    if (options.background != "input") {
      if (const auto error = ChooseBackground(options, "", shared_)) throw Error(*error);
    }
  }

  // Adds the rows of `input`, called `name` in messages and `label` in the table;
  // `background` is its own (null: the run's).
  void Add(ByteSource& input, const std::string& name, std::string_view label,
           const Background* background) {
    ReportRequest request;
    request.style = {options_.code, layout_, label, background != nullptr ? background : &shared_};
    request.threads = ThreadCount(options_);
    request.table_header = false;
    request.outputs.table = &buffer_;
    const InputOutcome outcome = reader_.Read(input, request);
    if (outcome.status != InputOutcome::Status::kDone) {
      throw Error(FileErrorText("reading", name, CauseOf(outcome.status, input)));
    }
    const InputTotals& totals = outcome.totals;
    for (const std::string& line :
         InputWarnings(name, totals.survey, totals.u_letters, outcome.any_header())) {
      Warning(line);
    }
  }

  std::string Text() {
    buffer_.Flush();
    return std::move(sink_.text);
  }

 private:
  const Options& options_;
  TableLayout layout_;
  Background shared_;
  StringSink sink_;
  OutputBuffer buffer_;
  InputReader reader_;
};

}  // namespace

std::string TableOfFiles(const std::vector<std::string>& paths, const TableSettings& settings) {
  if (paths.empty()) throw Error("no file name given");
  Options options = ParseSettings(settings, paths.front());
  options.inputs = paths;
  if (const std::string problem = CheckInputs(options); !problem.empty()) throw Error(problem);
  TableWriter writer(options);
  for (const std::string& path : paths) {
    const bool standard = path == kStandardStream;
    const std::string name = standard ? std::string(kStandardInputName) : path;
    const std::string label = standard ? std::string(StandardInputLabel(options)) : path;
    InputFile input;
    if (!(standard ? input.OpenDescriptor(kStandardInputDescriptor) : input.Open(path))) {
      throw Error(FileErrorText("opening", name));
    }
    if (input.refusal() != nullptr) throw Error(FileErrorText("reading", name, input.refusal()));
    Background own;
    if (options.background == "input") {
      if (const auto error = ChooseBackground(options, path, own)) throw Error(*error);
    }
    writer.Add(input, name, label, options.background == "input" ? &own : nullptr);
  }
  return writer.Text();
}

std::string TableOfText(std::string_view fasta, const TableSettings& settings,
                        std::string_view label) {
  const Options options = ParseSettings(settings, std::string(kStandardStream));
  const std::string name(label);
  TableWriter writer(options);
  Background own;
  if (options.background == "input") {
    TextSource pool(fasta);
    CodonCounts pooled{};
    const InputOutcome::Status status = PoolSourceCounts(pool, options, pooled);
    if (status != InputOutcome::Status::kDone) {
      throw Error(FileErrorText("reading", name, CauseOf(status, pool)));
    }
    own = BackgroundOfCounts(options, name, pooled);
  }
  TextSource input(fasta);
  writer.Add(input, name, label, options.background == "input" ? &own : nullptr);
  return writer.Text();
}

}  // namespace trelba
