// The table of results (--table), standard input, -o and --no-reports, and the usage
// errors and warnings of the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "compress.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 255;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

// Sequences that give every kind of row: an empty record, an all-N record, a score that
// is not positive (Trp alone under code 3), a bare header, a header longer than a read
// block, identifiers with control and non-ASCII bytes, and ordinary genes.
std::string AwkwardInput() {
  std::string text;
  text += ">g1 Phe and Gly\nTTTTTTTTCGGG\n";
  text += ">empty record\n";
  text += ">allN\nNNNNNNNNNNNN\n";
  text += ">trp_only\nTGGTGGTGG\n";
  text += ">\nATGAAACCC\n";
  text += ">" + std::string(300000, 'L') + " long header\nGCTGCCGCAGCG\n";
  text += std::string(">ctl\x01id\x1b[0m\tdesc\nTTTTTC\n");
  text += ">g\xc3\xa8ne_2\nATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCTTAG\n";
  return text;
}

const std::vector<std::string> kAwkwardIds = {
    "g1",         "empty",
    "allN",       "trp_only",
    "",           std::string(65536, 'L'),  // cut at 64 KiB, with a warning
    "ctl?id?[0m", "g\xc3\xa8ne_2"};

// Every row is there, in order, under its identifier, and agrees with .iik and .ok.
void ExpectTableAgreesWithReports(const std::string& table, const std::string& iik,
                                  const std::string& ok, const std::string& code) {
  const std::vector<std::string> rows = Split(table, '\n');
  ASSERT_EQ(rows.size(), kAwkwardIds.size() + 1);
  EXPECT_EQ(rows[0],
            "seq\tid\tcodons\tscore\tPhe\tLeu\tSer\tTyr\tCys\tTrp\tPro\tHis\tGln\tArg\tIle\tMet\t"
            "Thr\tAsn\tLys\tVal\tAla\tAsp\tGlu\tGly\texpected\texcess\tgc\tgc3\tinternal_stops\t"
            "partial\tenc\tgc3s\texcess_z");
  const std::vector<std::string> blocks = Split(iik, '\n');
  std::vector<std::string> listed_scores;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const std::vector<std::string> cells = Split(rows[i], '\t');
    ASSERT_EQ(cells.size(), 33u) << "row " << i;
    EXPECT_EQ(cells[0], std::to_string(i));
    EXPECT_EQ(cells[1], kAwkwardIds[i - 1]) << "row " << i;
    std::size_t column = 4;
    for (int family = 1; family <= 21; ++family) {
      const std::string& line = blocks[(i - 1) * 22 + static_cast<std::size_t>(family - 1)];
      if (family == 5) continue;
      const std::string value = line.substr(line.find(' ') + 1);
      if (cells[column] != "NA") {
        EXPECT_EQ(cells[column], value) << "row " << i << " family " << family << " code " << code;
      }
      ++column;
    }
    if (cells[3] != "NA" && cells[3][0] != '-' && cells[3] != "0")
      listed_scores.push_back(cells[3]);
  }
  std::vector<std::string> ok_lines = Split(ok, '\n');
  ok_lines.resize(ok_lines.size() - 2);  // the empty line and the average
  EXPECT_EQ(listed_scores, ok_lines) << "code " << code;
}

class TableUnderEveryCode : public ::testing::TestWithParam<const char*> {};

TEST_P(TableUnderEveryCode, EveryRowInOrderAndAgreeingWithTheReports) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", AwkwardInput());
  const RunResult run = RunTrelba({"--table", "in.tsv", "in.fa", GetParam()}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  ExpectTableAgreesWithReports(ReadFile(dir / "in.tsv"), ReadFile(dir / "in.fa.iik"),
                               ReadFile(dir / "in.fa.ok"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Codes, TableUnderEveryCode,
                         ::testing::Values("0", "1", "2", "3", "4", "5", "6", "7"),
                         [](const auto& test) { return std::string("code") + test.param; });

TEST(Table, HandCheckedRows) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", AwkwardInput());
  ASSERT_EQ(RunTrelba({"-T", "in.tsv", "in.fa", "3"}, dir.path()).status, 0);
  const std::vector<std::string> rows = Split(ReadFile(dir / "in.tsv"), '\n');
  // TTT TTT TTC GGG: Phe 1 - H(2/3, 1/3) / ln 2, Gly one codon only; Met has one codon
  // under code 3 and so no value. ENC: Phe F = (5 - 3) / (9 - 3), no four-codon amino acid
  // used twice: NA; GC3s: TTC and GGG of four. excess_z: Phe's O is 1 (p = 1/4) or
  // 0.0817042 (3/4), so Var(score) = (3/4)^2 * 3/16 * 0.9182958^2 and z = -1/sqrt(3).
  EXPECT_EQ(rows[1],
            "1\tg1\t4\t0.311278\t0.0817042\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\tNA\t"
            "NA\tNA\tNA\tNA\tNA\t1\t0.483459\t-0.17218\t0.333333\t0.5\t0\t0\tNA\t0.5\t-0.57735");
  // No codon: the score is not a number.
  EXPECT_EQ(rows[2].substr(0, 16), "2\tempty\t0\tNA\tNA\t");
  EXPECT_EQ(rows[3].substr(0, 15), "3\tallN\t0\tNA\tNA\t");
  // Trp under code 3 is TGA + TGG, TGG entering with its frequency: listed although the
  // score is negative.
  const std::vector<std::string> trp = Split(rows[4], '\t');
  EXPECT_EQ(trp[3], "-0.442695");
  EXPECT_EQ(trp[9], "-0.442695");  // Trp
  EXPECT_EQ(trp[4], "NA");         // Phe
}

// The table to standard output, the input from standard input, plain or compressed.
TEST(Table, StandardInputToStandardOutput) {
  ScratchDir dir;
  const std::string text = AwkwardInput();
  WriteFile(dir / "in.fa", text);
  ASSERT_EQ(RunTrelba({"-T", "file.tsv", "in.fa"}, dir.path()).status, 0);
  const std::string expected = ReadFile(dir / "file.tsv");
  for (const std::string& input : {text, Gzip(text), Xz(text), Zstd(text)}) {
    ScratchDir empty;
    const RunResult run =
        RunTrelbaPiped({"--table", "-", "--no-reports", "-"}, empty.path(), input);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out == expected);
    EXPECT_EQ(run.err,
              "Warning: standard input: 1 identifier is longer than 65536 bytes and cut there "
              "in the table (the first: header on line 10)\n");
    EXPECT_TRUE(fs::is_empty(empty.path()));  // no report written
  }
}

TEST(Table, ReportsOfStandardInputGoWhereOutputSays) {
  ScratchDir dir;
  const std::string text = ReadFile(TestData() / "inputs" / "ypestis.ffn");
  WriteFile(dir / "in.fa", text);
  ASSERT_EQ(RunTrelba({"in.fa", "5"}, dir.path()).status, 0);
  fs::create_directory(dir / "out");
  const RunResult run = RunTrelbaPiped({"-o", "out/piped", "-", "5"}, dir.path(), Gzip(text));
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* suffix : {".freq", ".iik", ".ok"}) {
    EXPECT_TRUE(ReadFile(dir / "out" / (std::string("piped") + suffix)) ==
                ReadFile(dir / (std::string("in.fa") + suffix)))
        << suffix;
  }
}

TEST(Table, OutputPrefixIntoAnotherFolder) {
  ScratchDir dir;
  fs::create_directories(dir / "data");
  fs::create_directories(dir / "results");
  WriteFile(dir / "data" / "in.fa", ">a\nATGTTTTTC\n");
  ASSERT_EQ(RunTrelba({"data/in.fa"}, dir.path()).status, 0);
  ASSERT_EQ(RunTrelba({"--output=results/run1", "data/in.fa"}, dir.path()).status, 0);
  for (const char* suffix : {".freq", ".iik", ".ok"}) {
    EXPECT_EQ(ReadFile(dir / "results" / (std::string("run1") + suffix)),
              ReadFile(dir / "data" / (std::string("in.fa") + suffix)));
  }
}

TEST(Table, NoReportsWritesOnlyTheTable) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ">a\nATGTTTTTC\n");
  ASSERT_EQ(RunTrelba({"--no-reports", "-Tin.tsv", "in.fa"}, dir.path()).status, 0);
  EXPECT_TRUE(fs::exists(dir / "in.tsv"));
  EXPECT_FALSE(fs::exists(dir / "in.fa.ok"));
  EXPECT_FALSE(fs::exists(dir / "in.fa.iik"));
  EXPECT_FALSE(fs::exists(dir / "in.fa.freq"));
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  std::string first_line;  // the first line on standard error
};

void PrintTo(const UsageCase& c, std::ostream* out) {
  *out << c.name;
}

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, SayWhatIsWrongAndWriteNothing) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ">a\nATG\n");
  const RunResult run = RunTrelba(GetParam().args, dir.path());
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            GetParam().first_line +
                "\nUsage: Trelba [options] FILE... | Trelba [options] FILE genetic_code_number\n"
                "Try 'Trelba --help' for more information.\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UsageErrors,
    ::testing::Values(
        UsageCase{"UnknownOption", {"-x", "in.fa"}, "Trelba: unknown option: -x"},
        UsageCase{"UnknownLongOption",
                  {"--tabel", "t", "in.fa"},
                  "Trelba: unknown option: --tabel (did you mean --table?)"},
        UsageCase{"OptionAfterOptionsLikeFile", {"-V2", "in.fa"}, "Trelba: unknown option: -V2"},
        UsageCase{"MissingValueAtEnd", {"--table"}, "Trelba: option --table needs a file name"},
        UsageCase{"OutputMissingValue", {"-o"}, "Trelba: option -o needs a prefix"},
        UsageCase{"OnlyOptions", {"--no-reports"}, "Trelba: no file name given"},
        UsageCase{"StandardInputWithoutDestination",
                  {"-"},
                  "Trelba: reports cannot be written beside standard input: give -o PREFIX to "
                  "name them, or --no-reports (with --table FILE)"},
        UsageCase{"OutputAndNoReports",
                  {"-o", "x", "--no-reports", "in.fa"},
                  "Trelba: --output and --no-reports cannot be given together"},
        UsageCase{"UnknownColumnGroup",
                  {"--columns", "composition,codons", "in.fa"},
                  "Trelba: --columns needs groups of columns from counts, description, "
                  "composition, dinucleotides, rscu, aa, comma-separated, not 'codons'"},
        UsageCase{"EmptyColumnGroup",
                  {"--columns=rscu,", "in.fa"},
                  "Trelba: --columns needs groups of columns from counts, description, "
                  "composition, dinucleotides, rscu, aa, comma-separated, not ''"},
        // Regression: a name that promises a compressed format got plain text under it.
        UsageCase{"TableNamedForAFormatNotWritten",
                  {"-T", "t.tsv.zip", "in.fa"},
                  "Trelba: --table 't.tsv.zip': .zip is a compressed format Trelba does not "
                  "write: end the name in .gz, .zst, .xz or .bz2, or in none of them for plain "
                  "text"},
        UsageCase{"SummaryNamedForAFormatNotWritten",
                  {"--summary", "s.LZ4", "in.fa"},
                  "Trelba: --summary 's.LZ4': .LZ4 is a compressed format Trelba does not "
                  "write: end the name in .gz, .zst, .xz or .bz2, or in none of them for plain "
                  "text"},
        UsageCase{"ControlCharacterInOption",
                  {"-\x1b[2J", "in.fa"},
                  "Trelba: unknown option: -\\x1b[2J"}),
    [](const auto& test) { return std::string(test.param.name); });

// Stored pipelines may pass a code argument that is not 0 to 7, or more arguments: the run
// goes on as before, and says what it did.
TEST(CommandLine, OddArgumentsWarnAndKeepTheBytes) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ReadFile(TestData() / "inputs" / "tricky.fa"));
  const RunResult run = RunTrelba({"in.fa", "11", "x", "y"}, dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err,
            "Warning: genetic code argument '11' is not one of 0 to 7: code 0 (the standard code) "
            "was used\n"
            "Warning: arguments after the genetic code are not read: 'x' 'y'\n"
            "Warning: in.fa: 1 '>' inside a line starts a new sequence (the first: line 12)\n"
            "Warning: in.fa: 1 sequence has stop codons before the last codon (the first: "
            "header on line 12); --cds-only leaves them out\n");
  EXPECT_EQ(ReadFile(dir / "in.fa.ok"), ReadFile(TestData() / "expected" / "tricky.fa" / "0.ok"));
}

// Regression: a negative code argument was refused as an unknown option; like any code
// argument that is not 1 to 7, it selects the standard code.
TEST(CommandLine, NegativeCodeArgumentIsTheStandardCode) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ReadFile(TestData() / "inputs" / "tricky.fa"));
  for (const char* code : {"-1", "-7", "-0", "-99"}) {
    const RunResult run = RunTrelba({"in.fa", code}, dir.path());
    EXPECT_EQ(run.status, 0) << code << ": " << run.err;
    for (const char* report : {"freq", "0.iik", "0.ok"}) {
      const std::string suffix = std::string(report).substr(report[0] == '0' ? 2 : 0);
      EXPECT_EQ(ReadFile(dir / ("in.fa." + suffix)),
                ReadFile(TestData() / "expected" / "tricky.fa" / report))
          << code << " " << report;
    }
  }
}

// Options may follow the file name, as GNU tools take them.
TEST(CommandLine, OptionsAfterTheFileNameAreOptions) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ">a\nATG\n");
  ASSERT_EQ(RunTrelba({"--table", "before.tsv", "in.fa"}, dir.path()).status, 0);
  const RunResult run = RunTrelba({"in.fa", "--table", "t.tsv", "--gcode", "11"}, dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadFile(dir / "t.tsv"), ReadFile(dir / "before.tsv"));
}

TEST(CommandLine, VersionShortOption) {
  ScratchDir dir;
  const RunResult run = RunTrelba({"-V"}, dir.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Trelba " TRELBA_VERSION "\n");
}

}  // namespace
}  // namespace trelba::test
