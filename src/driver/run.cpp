#include "driver/run.hpp"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "codes/genetic_code.hpp"
#include "driver/analyse_input.hpp"
#include "driver/error_message.hpp"
#include "driver/help_text.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/pipeline.hpp"
#include "driver/thread_pipeline.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"
#include "reports/output_buffer.hpp"
#include "reports/report_file.hpp"
#include "reports/standard_output.hpp"

namespace trelba {
namespace {

// How messages name standard input and output.
constexpr std::string_view kStandardInputName = "standard input";
constexpr std::string_view kStandardOutputName = "standard output";

int Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : kFailureStatus;
}

// One output of the run: a report file, or standard output for the table.
struct Output {
  std::string name;  // as messages give it
  std::unique_ptr<ReportFile> file;
  StandardOutput standard_output;
  std::unique_ptr<OutputBuffer> buffer;

  ByteSink& sink() { return file ? static_cast<ByteSink&>(*file) : standard_output; }
};

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

  // Created in this order: family order report, score report, codon count report, table;
  // none of them may be the input itself.
  const FileIdentity input_file =
      from_standard_input ? IdentifyStandardInput() : IdentifyFile(input_name);
  std::vector<Output> outputs;
  outputs.reserve(4);
  ReportOutputs destinations;
  if (!options.no_reports) {
    const std::string prefix = options.output_prefix.value_or(options.input);
    const struct {
      OutputBuffer** slot;
      const char* suffix;
    } reports[] = {{&destinations.order, ".iik"},
                   {&destinations.scores, ".ok"},
                   {&destinations.counts, ".freq"}};
    for (const auto& [slot, suffix] : reports) {
      Output& out = outputs.emplace_back();
      out.name = prefix + suffix;
      out.file = std::make_unique<ReportFile>();
      if (!out.file->Open(out.name, input_file)) return FileError("opening", out.name);
      out.buffer = std::make_unique<OutputBuffer>(out.sink());
      *slot = out.buffer.get();
    }
  }
  if (options.table) {
    Output& out = outputs.emplace_back();
    if (*options.table == kStandardStream) {
      out.name = kStandardOutputName;
    } else {
      out.name = *options.table;
      out.file = std::make_unique<ReportFile>();
      if (!out.file->Open(out.name, input_file)) return FileError("opening", out.name);
    }
    out.buffer = std::make_unique<OutputBuffer>(out.sink());
    destinations.table = out.buffer.get();
  }

  const unsigned threads = options.thread_count != 0 ? options.thread_count : DefaultThreadCount();
  const InputOutcome outcome = AnalyseInput(input, code, destinations, threads);
  if (outcome.status == InputOutcome::Status::kReadFailed) return FileError("reading", input_name);
  if (outcome.status == InputOutcome::Status::kWriteFailed) {
    for (Output& out : outputs) {
      if (out.buffer->failed()) return FileError("writing", out.name);
    }
  }

  for (Output& out : outputs) {
    if (!out.buffer->Flush() || (out.file && !out.file->Close())) {
      return FileError("writing", out.name);
    }
  }
  // The files replace what stood at their names all together, or none of them does.
  std::vector<ReportFile*> files;
  std::vector<const Output*> owners;
  for (const Output& out : outputs) {
    if (out.file) {
      files.push_back(out.file.get());
      owners.push_back(&out);
    }
  }
  const std::size_t failed = CommitAll(files);
  if (failed != files.size()) return FileError("writing", owners[failed]->name);
  for (const std::string& line :
       InputWarnings(input_name, outcome.survey, outcome.u_letters, outcome.any_header)) {
    Warning(line);
  }
  return 0;
}

}  // namespace
}  // namespace trelba
