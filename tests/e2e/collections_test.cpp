// Many inputs in one run: each input's reports are those of a run on it alone, the table
// is the single-input tables joined under one header with a file column, an input that
// fails is left out of it, and the summary has a row per input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "compress.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

const std::string kGenomeA = ">a1 first gene\nATGAAACCCGGGTTTTAA\n>a2\nATGGCTGCCGCAGCGTGA\n";
const std::string kGenomeB = ">b1 x\nATGTTTTTCTTTTAG\n";

std::string Rows(const std::string& table) {
  return table.substr(table.find('\n') + 1);
}

// `file\t` before every row of a single-input table.
std::string WithFileColumn(const std::string& table, const std::string& file) {
  std::string out;
  for (std::size_t at = 0; at < table.size();) {
    const std::size_t end = table.find('\n', at);
    out += file + "\t" + table.substr(at, end + 1 - at);
    at = end + 1;
  }
  return out;
}

struct Single {
  std::string table, freq, iik, ok;
};

Single RunAlone(const ScratchDir& dir, const std::string& name) {
  const RunResult run = RunTrelba({"-T", "alone.tsv", "-o", "alone", name}, dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  return {ReadFile(dir / "alone.tsv"), ReadFile(dir / "alone.freq"), ReadFile(dir / "alone.iik"),
          ReadFile(dir / "alone.ok")};
}

TEST(Collections, ReportsAndTableEqualSingleRuns) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  WriteFile(dir / "b.fa.gz", Gzip(kGenomeB));
  const Single a = RunAlone(dir, "a.fa");
  const Single b = RunAlone(dir, "b.fa.gz");
  const RunResult run = RunTrelbaPiped({"a.fa", "-T", "all.tsv", "--summary", "s.tsv", "b.fa.gz",
                                        "--label", "piped", "-", "-o", "out/"},
                                       dir.path(), kGenomeB);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string header = a.table.substr(0, a.table.find('\n') + 1);
  EXPECT_EQ(ReadFile(dir / "all.tsv"), "file\t" + header + WithFileColumn(Rows(a.table), "a.fa") +
                                           WithFileColumn(Rows(b.table), "b.fa.gz") +
                                           WithFileColumn(Rows(b.table), "piped"));
  EXPECT_EQ(ReadFile(dir / "out" / "a.fa.iik"), a.iik);
  EXPECT_EQ(ReadFile(dir / "out" / "b.fa.gz.freq"), b.freq);
  EXPECT_EQ(ReadFile(dir / "out" / "piped.ok"), b.ok);
  const std::string summary = ReadFile(dir / "s.tsv");
  EXPECT_EQ(summary.substr(0, 14), "file\tstatus\tse");
  EXPECT_NE(summary.find("\na.fa\tok\t2\t12\t"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\npiped\tok\t1\t5\t"), std::string::npos) << summary;
}

// A missing and a truncated input: named on standard error, out of the table, in the
// summary as errors, their earlier reports untouched; the others are read; status 255.
TEST(Collections, FailedInputsAreLeftOut) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  const std::string gz = Gzip(kGenomeA + kGenomeA);
  WriteFile(dir / "cut.fa.gz", gz.substr(0, gz.size() - 6));
  WriteFile(dir / "cut.fa.gz.ok", "earlier\n");
  const Single a = RunAlone(dir, "a.fa");
  const RunResult run = RunTrelba(
      {"--summary", "s.tsv", "-T", "all.tsv", "cut.fa.gz", "a.fa", "missing.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err,
            "Error reading file: cut.fa.gz (truncated gzip member)\n"
            "Error opening file: missing.fa\n"
            "Trelba: missing.fa: No such file or directory\n");
  EXPECT_EQ(ReadFile(dir / "cut.fa.gz.ok"), "earlier\n");
  EXPECT_EQ(ReadFile(dir / "a.fa.ok"), a.ok);
  EXPECT_EQ(Rows(ReadFile(dir / "all.tsv")), WithFileColumn(Rows(a.table), "a.fa"));
  const std::string summary = ReadFile(dir / "s.tsv");
  EXPECT_NE(summary.find("\ncut.fa.gz\terror\tNA\t"), std::string::npos) << summary;
  EXPECT_NE(summary.find("\tError opening file: missing.fa\tNA\tNA\n"), std::string::npos)
      << summary;
}

// An input that fails after batches of its rows have gone to the table (a file, written as
// they come; gzipped, in members of their own) has them taken out again, at every thread
// count; the other inputs' rows stay.
TEST(Collections, RowsOfAnInputThatFailsLateAreTakenOut) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  WriteFile(dir / "b.fa", kGenomeA);
  std::string many;
  for (int i = 0; i < 600; ++i) many += ">g" + std::to_string(i) + "\nATGAAACCCGGGTTTTAA\n";
  const std::string gz = Gzip(many);
  WriteFile(dir / "late.fa.gz", gz.substr(0, gz.size() - 6));
  const Single a = RunAlone(dir, "a.fa");
  const Single b = RunAlone(dir, "b.fa");
  for (const std::string table : {"all.tsv", "all.tsv.gz"}) {
    for (const char* threads : {"1", "3"}) {
      const RunResult run =
          RunTrelba({"-j", threads, "-T", table, "a.fa", "late.fa.gz", "b.fa"}, dir.path());
      EXPECT_EQ(run.status, 255) << threads;
      const std::string text =
          table.ends_with(".gz")
              ? Decompress(CompressionFormat::kGzip, ReadFile(dir / table)).value_or("damaged")
              : ReadFile(dir / table);
      EXPECT_EQ(Rows(text),
                WithFileColumn(Rows(a.table), "a.fa") + WithFileColumn(Rows(b.table), "b.fa"))
          << table << " -j " << threads;
    }
  }
}

TEST(Collections, CountsDescriptionAndGzipOutput) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  ASSERT_EQ(RunTrelba({"--counts", "--description", "-T", "t.tsv", "a.fa"}, dir.path()).status, 0);
  const std::string table = ReadFile(dir / "t.tsv");
  const std::string first = Rows(table).substr(0, Rows(table).find('\n'));
  // ATG AAA CCC GGG TTT TAA: ATG is codon 36, TAA 11; 30 columns, 64 counts, description,
  // enc, gc3s and excess_z.
  std::vector<std::string> cells;
  for (std::size_t at = 0; at <= first.size();) {
    const std::size_t end = std::min(first.find('\t', at), first.size());
    cells.push_back(first.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(cells.size(), 30u + 64u + 1u + 3u);
  EXPECT_EQ(cells[30 + 35], "1");  // ATG
  EXPECT_EQ(cells[30 + 10], "1");  // TAA
  EXPECT_EQ(cells[30 + 0], "1");   // TTT
  EXPECT_EQ(cells[30 + 64], "first gene");
  ASSERT_EQ(RunTrelba({"--counts", "--description", "-T", "t.tsv.gz", "a.fa"}, dir.path()).status,
            0);
  const std::string unpack =
      "gzip -dc '" + (dir / "t.tsv.gz").string() + "' > '" + (dir / "back.tsv").string() + "'";
  ASSERT_EQ(std::system(unpack.c_str()), 0);
  EXPECT_EQ(ReadFile(dir / "back.tsv"), table);
}

struct GrammarCase {
  const char* name;
  std::vector<std::string> args;
  std::string err;  // what the run says; "" for a clean run
  int status;
};

void PrintTo(const GrammarCase& c, std::ostream* os) {
  *os << c.name;
}

class Grammar : public ::testing::TestWithParam<GrammarCase> {};

TEST_P(Grammar, SaysWhatItDoes) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  WriteFile(dir / "b.fa", kGenomeB);
  WriteFile(dir / "2", kGenomeB);
  WriteFile(dir / "empty.fa", "");
  WriteFile(dir / "protein.fa", ">p\nMKVLAAGIVGLLLAAQPAMAQETRKDLSKQ\n");
  const RunResult run = RunTrelba(GetParam().args, dir.path());
  EXPECT_EQ(run.status, GetParam().status);
  EXPECT_EQ(run.err.substr(0, GetParam().err.size()), GetParam().err) << run.err;
  if (GetParam().err.empty()) {
    EXPECT_EQ(run.err, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Grammar,
    ::testing::Values(
        GrammarCase{"TwoFiles", {"--no-reports", "a.fa", "b.fa"}, "", 0},
        // Regression: a reference or background in which no codon is counted gave numbers
        // against even use, with status 0; its text is checked as an input's.
        GrammarCase{"EmptyReference",
                    {"--no-reports", "-T", "t.tsv", "--reference", "empty.fa", "a.fa"},
                    "Warning: empty.fa: not sequence data (text): no FASTA header line (a line "
                    "starting with '>'), GenBank, EMBL or GFF3 record was found: nothing is "
                    "reported\nError reading file: empty.fa (no codon of T, C, A and "
                    "G was counted in it)\n",
                    255},
        GrammarCase{"ProteinReference",
                    {"--no-reports", "-T", "t.tsv", "--reference", "protein.fa", "a.fa"},
                    "Warning: protein.fa: 10 of 10 triples were not codons of T, C, A and G: is "
                    "this a protein file?\nError reading file: protein.fa (no codon of T, C, A "
                    "and G was counted in it)\n",
                    255},
        GrammarCase{"BackgroundOfNothing",
                    {"--no-reports", "-T", "t.tsv", "--background", "/dev/null", "a.fa"},
                    "Warning: /dev/null: not sequence data (text): no FASTA header line (a line "
                    "starting with '>'), GenBank, EMBL or GFF3 record was found: nothing is "
                    "reported\nError reading file: /dev/null (no codon of T, C, A "
                    "and G was counted in it)\n",
                    255},
        GrammarCase{"FileAndVariant", {"a.fa", "3"}, "", 0},
        GrammarCase{"SecondNamesAFileNamedLikeAVariant",
                    {"a.fa", "2"},
                    "Warning: '2' is read as a file, since one of that name exists",
                    0},
        GrammarCase{"VariantOption", {"--variant", "4", "a.fa", "b.fa"}, "", 0},
        GrammarCase{"VariantAndCodeOperand",
                    {"--variant", "4", "a.fa", "3"},
                    "Trelba: --variant 4 and the code operand '3' cannot both be given",
                    255},
        GrammarCase{"BadVariant",
                    {"--variant", "8", "a.fa"},
                    "Trelba: --variant needs a number from 0 to 7, not '8'",
                    255},
        GrammarCase{"PrefixForTwoInputs",
                    {"-o", "p", "a.fa", "b.fa"},
                    "Trelba: -o PREFIX names the reports of one input",
                    255},
        GrammarCase{
            "EmptyPrefix", {"-o", "", "a.fa"}, "Trelba: --output needs a prefix, not ''", 255},
        GrammarCase{
            "EmptyTable", {"-T", "", "a.fa"}, "Trelba: --table needs a file name, not ''", 255},
        GrammarCase{"EmptyHtmlReport",
                    {"--report", "", "a.fa"},
                    "Trelba: --report needs a file name, not ''",
                    255},
        GrammarCase{"HtmlReportToStandardOutput",
                    {"--report", "-", "a.fa"},
                    "Trelba: --report needs a file name, not '-'",
                    255},
        GrammarCase{"StandardInputTwice",
                    {"--no-reports", "-", "a.fa", "-"},
                    "Trelba: standard input ('-') can be read only once",
                    255},
        GrammarCase{"BackgroundInputOfStandardInput",
                    {"--no-reports", "--background", "input", "-"},
                    "Trelba: --background input reads the input twice",
                    255},
        GrammarCase{
            "OptionsAfterTheFiles", {"a.fa", "b.fa", "--no-reports", "--gcode", "11"}, "", 0},
        GrammarCase{"EndOfOptions", {"--no-reports", "--", "a.fa"}, "", 0},
        // Regression: a negative number was taken for an unknown option.
        GrammarCase{"NegativeCodeOperand",
                    {"a.fa", "-1"},
                    "Warning: genetic code argument '-1' is not one of 0 to 7: code 0",
                    0},
        // Regression: a missing second of three inputs was read as a code, the third
        // dropped, and the run ended with status 0.
        GrammarCase{"MissingSecondOfThreeInputs",
                    {"--no-reports", "-T", "t.tsv", "a.fa", "missing.fa", "b.fa"},
                    "Error opening file: missing.fa\n",
                    255},
        GrammarCase{"NumberSecondOfThreeIsTheCode",
                    {"a.fa", "3", "x"},
                    "Warning: arguments after the genetic code are not read: 'x'\n",
                    0},
        GrammarCase{"AfterEndOfOptionsAllAreInputs",
                    {"--no-reports", "--", "-T", "a.fa", "b.fa"},
                    "Error opening file: -T\n",
                    255},
        GrammarCase{"TableGivenTwice",
                    {"-T", "a.tsv", "--table=b.tsv", "a.fa"},
                    "Trelba: --table is given twice ('a.tsv' and 'b.tsv'): give it once",
                    255},
        GrammarCase{"SummaryGivenTwice",
                    {"--summary", "s.tsv", "a.fa", "--summary", "s.tsv"},
                    "Trelba: --summary is given twice",
                    255},
        GrammarCase{"EmptyLabel",
                    {"--label", "", "-o", "out/", "-"},
                    "Trelba: --label needs a name, not ''",
                    255},
        GrammarCase{"BackgroundAndInputBothStandardInput",
                    {"--no-reports", "--background", "-", "-"},
                    "Trelba: standard input cannot hold both the background and an input",
                    255},
        // Regression: the background pass read what such an input gives, the analysis
        // only what was left.
        GrammarCase{"BackgroundInputOfADevice",
                    {"--no-reports", "--background", "input", "a.fa", "/dev/stdin"},
                    "Trelba: --background input reads the input twice, which '/dev/stdin' (not "
                    "a regular file) cannot be",
                    255}),
    [](const auto& test) { return std::string(test.param.name); });

// The background of the expected score: an input's own codons, or a file's, the same
// numbers when the file is the input; a family the background lacks is said.
TEST(Collections, BackgroundInputEqualsTheInputAsFile) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  WriteFile(dir / "no_cys.fa", kGenomeB);
  ASSERT_EQ(
      RunTrelba({"-T", "own.tsv", "--no-reports", "--background", "input", "a.fa"}, dir.path())
          .status,
      0);
  ASSERT_EQ(
      RunTrelba({"-T", "file.tsv", "--no-reports", "--background", "a.fa", "a.fa"}, dir.path())
          .status,
      0);
  // Regression: "--background -" was a file named "-".
  const RunResult piped = RunTrelbaPiped(
      {"-T", "piped.tsv", "--no-reports", "--background", "-", "a.fa"}, dir.path(), kGenomeA);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(ReadFile(dir / "piped.tsv"), ReadFile(dir / "file.tsv"));
  EXPECT_EQ(ReadFile(dir / "own.tsv"), ReadFile(dir / "file.tsv"));
  const RunResult run =
      RunTrelba({"--no-reports", "--strict", "--background", "no_cys.fa", "a.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);  // --strict: the warning ends the run as an error
  EXPECT_NE(run.err.find("Warning: no_cys.fa: the background has no codon of Leu, Ser, Tyr, Cys"),
            std::string::npos)
      << run.err;
}

// Regression guard: the pipeline and its workers are kept from one input to the next;
// each input's own background must still be its own, on any number of threads.
TEST(Collections, EachInputsOwnBackgroundOnAnyThreads) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  WriteFile(dir / "b.fa", kGenomeB);
  std::string expected;
  for (const char* name : {"a.fa", "b.fa"}) {
    ASSERT_EQ(
        RunTrelba({"-T", "one.tsv", "--file-column", "--no-reports", "--background", "input", name},
                  dir.path())
            .status,
        0);
    const std::string one = ReadFile(dir / "one.tsv");
    expected += expected.empty() ? one : one.substr(one.find('\n') + 1);
  }
  for (const char* threads : {"1", "3"}) {
    const RunResult run = RunTrelba(
        {"-j", threads, "-T", "all.tsv", "--no-reports", "--background", "input", "a.fa", "b.fa"},
        dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(dir / "all.tsv"), expected) << "-j " << threads;
  }
}

TEST(Collections, InfileList) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", kGenomeA);
  WriteFile(dir / "b.fa", kGenomeB);
  WriteFile(dir / "list.txt", "a.fa\r\n\nb.fa\n");
  ASSERT_EQ(RunTrelba({"-T", "direct.tsv", "--no-reports", "a.fa", "b.fa"}, dir.path()).status, 0);
  const RunResult run =
      RunTrelba({"-T", "listed.tsv", "--no-reports", "--infile-list", "list.txt"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFile(dir / "listed.tsv"), ReadFile(dir / "direct.tsv"));
}

}  // namespace
}  // namespace trelba::test
