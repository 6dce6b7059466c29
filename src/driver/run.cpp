#include "driver/run.hpp"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "codes/genetic_code.hpp"
#include "driver/pipeline.hpp"
#include "input/input_file.hpp"
#include "input/sequence_reader.hpp"
#include "reports/output_buffer.hpp"
#include "reports/report_file.hpp"

namespace trelba {
namespace {

constexpr std::size_t kReadBlock = 1 << 18;

constexpr std::string_view kUsage =
    "Parameter missing.\n"
    "Usage: Trelba filename [genetic_code_number]\n";

constexpr std::string_view kHelp =
    "Usage: Trelba filename [genetic_code_number]\n"
    "       Trelba --help | -h | --version\n"
    "\n"
    "Measures how unevenly each coding sequence of a FASTA file (plain or gzip) uses\n"
    "synonymous codons: for each of 21 synonymous families the order value\n"
    "1 - H / ln k (H the Shannon entropy of the family's codon frequencies, k its number\n"
    "of codons), and per sequence a score, the order values weighted by each family's\n"
    "share of the sequence's codons.\n"
    "\n"
    "Reports, written beside the input:\n"
    "  filename.freq  codon counts of each sequence, as a 16-line codon table\n"
    "  filename.iik   order value of each family of each sequence\n"
    "  filename.ok    each positive score, then \"average = \" and their mean\n"
    "\n"
    "Genetic codes (default 0; any argument other than 1 to 7 means 0):\n"
    "  0  standard code\n"
    "  1  TGA is Trp, ATA is Met\n"
    "  2  as 1; AGA and AGG are also stops; leucine is TTA TTG only\n"
    "  3  TGA is Trp\n"
    "  4  as 1; AGA and AGG are Ser\n"
    "  5  TAA and TAG are Gln; TGA is the only stop\n"
    "  6  TGA is Cys\n"
    "  7  TGA is Trp; AGA and AGG are Ser; AAA joins GAT GAC, lysine is AAG only\n";

int Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : kFailureStatus;
}

// Every error reads "Error <doing> file: <name>" on standard error.
int FileError(const char* doing, const std::string& name) {
  std::fprintf(stderr, "Error %s file: %s\n", doing, name.c_str());
  return kFailureStatus;
}

struct Report {
  std::string name;
  ReportFile file;
  std::unique_ptr<OutputBuffer> buffer;
};

}  // namespace

int Run(int argc, const char* const* argv) {
  if (argc < 2) {
    Print(kUsage);
    return kFailureStatus;
  }
  const std::string input_name = argv[1];
  // Options only as the first argument; a file of such a name can be given as ./--help.
  if (input_name == "--help" || input_name == "-h") return Print(kHelp);
  if (input_name == "--version") return Print("Trelba " TRELBA_VERSION "\n");
  const GeneticCode& code = SelectGeneticCode(argc >= 3 ? argv[2] : "0");

  InputFile input;
  if (!input.Open(input_name)) return FileError("opening", input_name);

  // Created in this order: family order report, score report, codon count report.
  Report reports[3];
  const char* const suffixes[3] = {".iik", ".ok", ".freq"};
  for (int i = 0; i < 3; ++i) {
    Report& report = reports[i];
    report.name = input_name + suffixes[i];
    if (!report.file.Open(report.name)) return FileError("opening", report.name);
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
  return 0;
}

}  // namespace trelba
