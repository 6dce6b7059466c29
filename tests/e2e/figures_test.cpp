// The figure files (--figures DIR): which files a run writes, named by input and figure,
// each a standalone SVG document; none of a failed input; a name clash refused before
// anything is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kOwnFigures = {"enc", "enc-ratio", "neutrality",
                                              "pr2", "excess",    "families"};

struct FiguresCase {
  const char* name;
  std::vector<std::string> inputs;
  std::vector<std::string> options;
  std::vector<std::string> per_input;  // besides kOwnFigures
  std::vector<std::string> together;   // inputs.NAME.svg
};

void PrintTo(const FiguresCase& c, std::ostream* os) {
  *os << c.name;
}

class Figures : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(Figures, AreOneStandaloneSvgPerInputAndFigure) {
  ScratchDir dir;
  for (const std::string& input : GetParam().inputs) {
    fs::copy_file(TestData() / "real" / input, dir / input);
  }
  std::vector<std::string> args = GetParam().options;
  args.insert(args.end(), {"--no-reports", "--gcode", "11", "--figures", "out/figs"});
  args.insert(args.end(), GetParam().inputs.begin(), GetParam().inputs.end());
  const RunResult run = RunTrelba(args, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  std::set<std::string> expected;
  for (const std::string& input : GetParam().inputs) {
    for (const auto* names : {&kOwnFigures, &GetParam().per_input}) {
      for (const std::string& figure : *names) expected.insert(input + "." + figure + ".svg");
    }
  }
  for (const std::string& figure : GetParam().together) {
    expected.insert("inputs." + figure + ".svg");
  }
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(dir / "out" / "figs")) {
    written.insert(entry.path().filename().string());
    const std::string text = ReadFile(entry.path());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u)
        << entry.path();
    // A journal's single column (85 mm) up to its full width (180 mm).
    const std::size_t width = text.find(" width=\"");
    ASSERT_NE(width, std::string::npos) << entry.path();
    const double mm = std::stod(text.substr(width + 8));
    EXPECT_TRUE(mm >= 85.0 && mm <= 180.0 &&
                text.compare(text.find('"', width + 8) - 2, 2, "mm") == 0)
        << entry.path() << ": " << mm;
    EXPECT_EQ(text.substr(text.size() - 7), "</svg>\n") << entry.path();
  }
  EXPECT_EQ(written, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Figures,
    ::testing::Values(
        FiguresCase{"OneInput", {"Ypestis_pPCP1_NC_005816.ffn"}, {}, {}, {"rscu"}},
        FiguresCase{"Reference",
                    {"Ypestis_pPCP1_NC_005816.ffn"},
                    {"--reference", "auto"},
                    {"adaptation"},
                    {"rscu"}},
        FiguresCase{"TwoInputsOverlaid",
                    {"Ypestis_pPCP1_NC_005816.ffn", "Carsonella_ruddii_DC.prodigal.cds.fna"},
                    {},
                    {},
                    {"overlay-enc", "overlay-neutrality", "overlay-pr2", "rscu"}},
        FiguresCase{"ThreeInputs",
                    {"Ypestis_pPCP1_NC_005816.ffn", "Carsonella_ruddii_DC.prodigal.cds.fna",
                     "Mmusculus_p53.cds.fna"},
                    {},
                    {},
                    {"overlay-enc", "overlay-neutrality", "overlay-pr2", "enc", "rscu"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FiguresOfAFailedInput, AreNotWritten) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", ">a\nATGAAACCCGGGTTTTAA\n>b\nATGCCCCCGTGA\n");
  WriteFile(dir / "b.fa", ">c\nATGAAACCCGGGTTTTAA\n");
  const RunResult run =
      RunTrelba({"--no-reports", "--figures", "figs", "a.fa", "b.fa", "gone.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  std::vector<std::string> written;
  for (const auto& entry : fs::directory_iterator(dir / "figs")) {
    written.push_back(entry.path().filename().string());
  }
  std::sort(written.begin(), written.end());
  // Those of a.fa and b.fa, and the five of the inputs together.
  EXPECT_EQ(written.size(), 2 * kOwnFigures.size() + 5) << run.err;
  for (const std::string& name : written) EXPECT_EQ(name.find("gone"), std::string::npos);
}

TEST(FiguresNamedAsAnotherOutput, AreRefusedBeforeAnythingIsRead) {
  ScratchDir dir;
  WriteFile(dir / "a.fa", ">a\nATGAAACCCGGGTTTTAA\n");
  const RunResult run = RunTrelba(
      {"--no-reports", "-T", "figs/a.fa.pr2.svg", "--figures", "figs", "a.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  EXPECT_NE(run.err.find("figs/a.fa.pr2.svg"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir / "figs" / "a.fa.enc.svg"));
}

}  // namespace
}  // namespace trelba::test
