// `--gcode N`: choosing an NCBI translation table on the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 255;  // -1 to the shell
const std::string kUsageLines =
    "Usage: Trelba [options] FILE... | Trelba [options] FILE genetic_code_number\n"
    "Try 'Trelba --help' for more information.\n";

std::vector<std::string> ReportsIn(const fs::path& dir) {
  std::vector<std::string> reports;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.ends_with(".iik") || name.ends_with(".ok") || name.ends_with(".freq")) {
      reports.push_back(name);
    }
  }
  return reports;
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  std::string what;  // the first line, after "Trelba: "
};

void PrintTo(const UsageCase& c, std::ostream* os) {
  *os << c.name;
}

class GcodeUsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(GcodeUsageErrors, ExplainWriteNothingAndFail) {
  const UsageCase& c = GetParam();
  ScratchDir dir;
  WriteFile(dir / "in.fa", ">a\nATGTTT\n");
  const RunResult run = RunTrelba(c.args, dir.path());
  EXPECT_EQ(run.status, kFailed);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Trelba: " + c.what + "\n" + kUsageLines);
  EXPECT_EQ(ReportsIn(dir.path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Table, GcodeUsageErrors,
    ::testing::Values(
        UsageCase{"NoNumber", {"--gcode"}, "option --gcode needs an NCBI translation table number"},
        UsageCase{"NoFile", {"--gcode", "11"}, "no file name given"},
        UsageCase{"WithPositionalCode",
                  {"--gcode", "11", "in.fa", "3"},
                  "--gcode 11 and the code operand '3' cannot both be given: give one genetic "
                  "code"},
        UsageCase{"WithPositionalZero",
                  {"--gcode", "2", "in.fa", "0"},
                  "--gcode 2 and the code operand '0' cannot both be given: give one genetic "
                  "code"},
        // Regression: the message named a genetic code number the user never gave.
        UsageCase{"WithVariant",
                  {"--gcode", "11", "--variant", "1", "in.fa"},
                  "--gcode 11 and --variant 1 cannot both be given: give one genetic code"},
        UsageCase{"UndefinedSeven",
                  {"--gcode", "7", "in.fa"},
                  "NCBI defines no translation table 7 (tables: 1-6, 9-16, 21-33)"},
        UsageCase{"UndefinedZero",
                  {"--gcode", "0", "in.fa"},
                  "NCBI defines no translation table 0 (tables: 1-6, 9-16, 21-33)"},
        UsageCase{"PastTheLast",
                  {"--gcode", "34", "in.fa"},
                  "NCBI defines no translation table 34 (tables: 1-6, 9-16, 21-33)"},
        UsageCase{"NotANumber",
                  {"--gcode", "mito", "in.fa"},
                  "--gcode needs an NCBI translation table number, not 'mito'"},
        UsageCase{"FileNameWhereNumberGoes",
                  {"--gcode", "in.fa"},
                  "--gcode needs an NCBI translation table number, not 'in.fa'"}),
    [](const auto& test) { return std::string(test.param.name); });

// Under code 0 the variants' exempt codons (TAA TAG TGA TGG ATG) all sit in the stop family
// or in one-codon families, whose order values are fixed at 0, so NCBI table 1 gives the
// same bytes.
class Table1EqualsVariant0 : public ::testing::TestWithParam<fs::path> {};

TEST_P(Table1EqualsVariant0, OnRealFile) {
  ScratchDir dir;
  fs::copy_file(GetParam(), dir / "in.fa");
  const RunResult variant_run = RunTrelba({"in.fa", "0"}, dir.path());
  ASSERT_EQ(variant_run.status, 0);
  std::vector<std::string> variant;
  for (const char* ext : {".freq", ".iik", ".ok"}) {
    variant.push_back(ReadFile(dir / ("in.fa" + std::string(ext))));
  }
  const RunResult run = RunTrelba({"--gcode", "1", "in.fa"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, variant_run.err);  // the same warnings, if any
  int i = 0;
  for (const char* ext : {".freq", ".iik", ".ok"}) {
    EXPECT_EQ(ReadFile(dir / ("in.fa" + std::string(ext))), variant[static_cast<std::size_t>(i++)])
        << ext;
  }
  EXPECT_NE(variant[1], "");  // the file has sequences
}

std::vector<fs::path> RealFiles() {
  std::vector<fs::path> files;
  for (const char* folder : {"real", "inputs"}) {
    for (const auto& entry : fs::directory_iterator(TestData() / folder)) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

INSTANTIATE_TEST_SUITE_P(Files, Table1EqualsVariant0, ::testing::ValuesIn(RealFiles()),
                         [](const auto& test) {
                           std::string name = test.param.parent_path().filename().string() + "_" +
                                              test.param.filename().string();
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(Gcode, SelectsTheTableForTheWholeRun) {
  // Trp TGA 3 : TGG 1 under table 2 is 1 - H / ln 2 with H = -(0.75 ln 0.75 + 0.25 ln 0.25);
  // variant 1 (TGA and TGG exempt) gives 1 - 1 / ln 2 for the same counts.
  ScratchDir dir;
  WriteFile(dir / "in.fa", ">a\nTGATGATGATGG\n");
  ASSERT_EQ(RunTrelba({"--gcode", "2", "in.fa"}, dir.path()).status, 0);
  const std::string table2 = ReadFile(dir / "in.fa.iik");
  EXPECT_NE(table2.find("\n7 0.188722\n"), std::string::npos) << table2;
  // Trp is the only family in the denominator, so the score is its order value.
  EXPECT_EQ(ReadFile(dir / "in.fa.ok"), "0.188722\n\naverage = 0.188722\n");
  ASSERT_EQ(RunTrelba({"in.fa", "1"}, dir.path()).status, 0);
  EXPECT_NE(ReadFile(dir / "in.fa.iik").find("\n7 -0.442695\n"), std::string::npos);
}

}  // namespace
}  // namespace trelba::test
