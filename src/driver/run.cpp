#include "driver/run.hpp"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "codes/genetic_code.hpp"
#include "driver/help_text.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/pipeline.hpp"
#include "input/input_file.hpp"
#include "input/input_survey.hpp"
#include "input/sequence_reader.hpp"
#include "reports/output_buffer.hpp"
#include "reports/report_file.hpp"
#include "reports/standard_output.hpp"

namespace trelba {
namespace {

constexpr std::size_t kReadBlock = 1 << 16;

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
  const GeneticCode& code = ChooseCode(options);

  const bool from_standard_input = options.input == kStandardStream;
  const std::string input_name =
      from_standard_input ? std::string(kStandardInputName) : options.input;
  InputFile input;
  if (!input.Open(from_standard_input ? "/dev/stdin" : options.input)) {
    return FileError("opening", input_name);
  }

  // Created in this order: family order report, score report, codon count report, table.
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
      if (!out.file->Open(out.name)) return FileError("opening", out.name);
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
      if (!out.file->Open(out.name)) return FileError("opening", out.name);
    }
    out.buffer = std::make_unique<OutputBuffer>(out.sink());
    destinations.table = out.buffer.get();
  }

  auto first_failed = [&]() -> Output* {
    for (Output& out : outputs) {
      if (out.buffer->failed()) return &out;
    }
    return nullptr;
  };

  SequencePipeline pipeline(code, destinations);
  SequenceReader reader;
  const std::unique_ptr<char[]> block(new char[kReadBlock]);
  for (;;) {
    const std::ptrdiff_t n = input.Read(block.get(), kReadBlock);
    if (n < 0) return FileError("reading", input_name);
    if (n == 0) break;
    ReadBytes(reader, block.get(), static_cast<std::size_t>(n), pipeline);
    if (Output* failed = first_failed()) return FileError("writing", failed->name);
  }
  const bool any_header = reader.sequence != 0;
  FinishReading(reader, pipeline);
  pipeline.Finish();

  for (Output& out : outputs) {
    if (!out.buffer->Flush() || (out.file && !out.file->Close())) {
      return FileError("writing", out.name);
    }
  }
  for (const std::string& line :
       InputWarnings(input_name, pipeline.survey(), reader.u_letters, any_header)) {
    Warning(line);
  }
  return 0;
}

}  // namespace trelba
