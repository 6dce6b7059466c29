// The HTML report (--report): it changes no other output, its bytes are the same at every
// thread count, and an input that fails has a section that says so.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

struct PageCase {
  const char* name;
  std::vector<std::string> options;
};

void PrintTo(const PageCase& c, std::ostream* os) {
  *os << c.name;
}

class HtmlReport : public ::testing::TestWithParam<PageCase> {};

TEST_P(HtmlReport, ChangesNoOtherOutputAndIsTheSameAtEveryThreadCount) {
  ScratchDir dir;
  std::vector<std::string> inputs;
  for (const auto& entry : fs::directory_iterator(TestData() / "real")) {
    fs::copy_file(entry.path(), dir / entry.path().filename());
    inputs.push_back(entry.path().filename().string());
  }
  std::sort(inputs.begin(), inputs.end());
  std::vector<std::string> pages;
  std::string table;
  for (const char* threads : {"1", "2", "3"}) {
    std::vector<std::string> args = GetParam().options;
    args.insert(args.end(), {"-j", threads, "-T", "t.tsv", "--report", "page.html"});
    args.insert(args.end(), inputs.begin(), inputs.end());
    ASSERT_EQ(RunTrelba(args, dir.path()).status, 0) << threads;
    pages.push_back(ReadFile(dir / "page.html"));
    table = ReadFile(dir / "t.tsv");
    EXPECT_EQ(pages.back(), pages.front()) << threads << " threads";
  }
  std::vector<std::string> plain = GetParam().options;
  plain.insert(plain.end(), {"-T", "t.tsv", "-o", "plain/"});
  plain.insert(plain.end(), inputs.begin(), inputs.end());
  ASSERT_EQ(RunTrelba(plain, dir.path()).status, 0);
  EXPECT_EQ(ReadFile(dir / "t.tsv"), table);
  for (const std::string& input : inputs) {
    for (const char* suffix : {".freq", ".iik", ".ok"}) {
      EXPECT_EQ(ReadFile(dir / (input + suffix)), ReadFile(dir / "plain" / (input + suffix)));
    }
  }
  const std::string& page = pages.front();
  EXPECT_EQ(Occurrences(page, "<section class=\"input\""), inputs.size());
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(Occurrences(page, "http"), Occurrences(page, "<svg "));  // only the xmlns
}

INSTANTIATE_TEST_SUITE_P(
    Table, HtmlReport,
    ::testing::Values(PageCase{"Variant0", {}}, PageCase{"Variant2", {"--variant", "2"}},
                      PageCase{"Gcode11OwnBackground", {"--gcode", "11", "--background", "input"}},
                      PageCase{"CorrespondenceAnalysis", {"--gcode", "11", "--coa", "rscu"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(HtmlReportOfAFailedInput, HoldsItsErrorAndTheOtherInputs) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", ">a\nATGAAACCCGGGTTTTAA\n>b\nATGCCCCCGTGA\n");
  const RunResult run =
      RunTrelba({"--no-reports", "--report", "p.html", "a.fa", "a.fa", "gone.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  const std::string page = ReadFile(dir / "p.html");
  EXPECT_NE(page.find("<p class=\"error\">Error opening file: gone.fa</p>"), std::string::npos);
  EXPECT_EQ(Occurrences(page, "<section class=\"input"), 3u);
  // Named on each read input's neutrality plot (its dot, and its ring as a top gene) and
  // on the inputs overlaid.
  EXPECT_EQ(Occurrences(page, "<title>b: gc3s 1.000, gc12 0.667</title>"), 6u);
}

// Regression: the page said "every 2th sequence".
TEST(HtmlReportOfAManySequences, SaysWhichArePlotted) {
  ScratchDir dir;
  std::string many;
  for (int i = 0; i <= 40000; ++i) many += ">s\nATGAAATAA\n";
  WriteFile(dir / "a.fa", many);
  ASSERT_EQ(RunTrelba({"--no-reports", "--report", "p.html", "a.fa"}, dir.path()).status, 0);
  EXPECT_NE(ReadFile(dir / "p.html").find("every 2nd sequence, 20,001 of 40,001"),
            std::string::npos);
}

}  // namespace
}  // namespace trelba::test
