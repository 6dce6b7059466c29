#include "driver/run.hpp"

#include <cstdio>
#include <iterator>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "codes/genetic_code.hpp"
#include "driver/error_message.hpp"
#include "driver/help_text.hpp"
#include "driver/pipeline.hpp"
#include "input/input_file.hpp"
#include "input/sequence_reader.hpp"
#include "reports/output_buffer.hpp"
#include "reports/report_file.hpp"

namespace trelba {
namespace {

constexpr std::size_t kReadBlock = 1 << 18;

int Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : kFailureStatus;
}

struct Report {
  std::string name;
  ReportFile file;
  std::unique_ptr<OutputBuffer> buffer;
};

// Reads `input_name` and writes its reports, each replaced only when the whole run has
// succeeded.
int AnalyseFile(const std::string& input_name, const GeneticCode& code);

}  // namespace

int Run(int argc, const char* const* argv) {
  if (argc < 2) {
    Print(kMissingParameterText);
    return kFailureStatus;
  }
  const std::string input_name = argv[1];
  // Options only as the first argument; a file of such a name can be given as ./--help.
  if (input_name == "--help" || input_name == "-h") return Print(kHelpText);
  if (input_name == "--version") return Print("Trelba " TRELBA_VERSION "\n");
  const GeneticCode& code = SelectGeneticCode(argc >= 3 ? argv[2] : "0");
  // The buffers are all had before the input is read; memory that cannot be had means the
  // input cannot be read, and no report is changed.
  try {
    return AnalyseFile(input_name, code);
  } catch (const std::bad_alloc&) {
    return FileError("reading", input_name);
  }
}

namespace {

int AnalyseFile(const std::string& input_name, const GeneticCode& code) {
  InputFile input;
  if (!input.Open(input_name)) return FileError("opening", input_name);

  // Created in this order: family order report, score report, codon count report.
  const FileIdentity input_file = IdentifyFile(input_name);  // never a report
  Report reports[3];
  const char* const suffixes[3] = {".iik", ".ok", ".freq"};
  for (int i = 0; i < 3; ++i) {
    Report& report = reports[i];
    report.name = input_name + suffixes[i];
    if (!report.file.Open(report.name, input_file)) return FileError("opening", report.name);
    report.buffer = std::make_unique<OutputBuffer>(report.file);
  }
  Report& order = reports[0];
  Report& scores = reports[1];
  Report& counts = reports[2];

  auto first_failed_report = [&]() -> Report* {
    for (Report& report : reports) {
      if (report.buffer->failed()) return &report;
    }
    return nullptr;
  };

  SequencePipeline pipeline(code, {*order.buffer, *scores.buffer, *counts.buffer});
  SequenceReader reader;
  const std::unique_ptr<char[]> block(new char[kReadBlock]);
  for (;;) {
    const std::ptrdiff_t n = input.Read(block.get(), kReadBlock);
    if (n < 0) return FileError("reading", input_name);
    if (n == 0) break;
    ReadBytes(reader, block.get(), static_cast<std::size_t>(n), pipeline);
    if (Report* failed = first_failed_report()) return FileError("writing", failed->name);
  }
  FinishReading(reader, pipeline);
  pipeline.Finish();

  for (Report& report : reports) {
    if (!report.buffer->Flush() || !report.file.Close()) return FileError("writing", report.name);
  }
  ReportFile* const files[] = {&order.file, &scores.file, &counts.file};
  const std::size_t failed = CommitAll(files);
  if (failed != std::size(files)) return FileError("writing", reports[failed].name);
  return 0;
}

}  // namespace
}  // namespace trelba
