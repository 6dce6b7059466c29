// The figure files (--figures DIR): which files a run writes, named by input and figure,
// each a standalone SVG document; none of a failed input; a name clash refused before
// anything is read.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
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
    // Every input has a scored gene: a dot on its excess plot (with no table or page, too).
    if (entry.path().string().ends_with(".excess.svg")) {
      EXPECT_NE(text.find("<circle"), std::string::npos) << entry.path();
    }
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

// With --coa, each input whose genes have an analysis (not the one of one gene) gets its
// two panels, and the inputs theirs; each gene's dot is named with its own coordinates in
// the table.
TEST(FiguresOfACorrespondenceAnalysis, DrawEachGeneAtItsCoordinatesInTheTable) {
  ScratchDir dir;
  const std::vector<std::string> inputs = {"Ypestis_pPCP1_NC_005816.ffn",
                                           "Carsonella_ruddii_DC.prodigal.cds.fna",
                                           "Mmusculus_p53.cds.fna"};
  std::vector<std::string> args = {"--no-reports",  "--gcode", "11",    "--coa",     "aa",
                                   "--file-column", "-T",      "t.tsv", "--figures", "figs"};
  for (const std::string& input : inputs) {
    fs::copy_file(TestData() / "real" / input, dir / input);
    args.push_back(input);
  }
  const RunResult run = RunTrelba(args, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  std::set<std::string> coa;
  for (const auto& entry : fs::directory_iterator(dir / "figs")) {
    const std::string name = entry.path().filename().string();
    if (name.find(".coa") != std::string::npos) coa.insert(name);
  }
  EXPECT_EQ(coa, (std::set<std::string>{inputs[0] + ".coa-genes.svg", inputs[0] + ".coa-codons.svg",
                                        inputs[1] + ".coa-genes.svg", inputs[1] + ".coa-codons.svg",
                                        "inputs.coa.svg"}));
  EXPECT_NE(ReadFile(dir / "figs" / "inputs.coa.svg").find(inputs[2] + ": inputs_coa1 "),
            std::string::npos);
  const std::string figure = ReadFile(dir / "figs" / (inputs[1] + ".coa-genes.svg"));
  std::istringstream table(ReadFile(dir / "t.tsv"));
  std::string line;
  std::getline(table, line);
  const auto cells = [](const std::string& row) {
    std::vector<std::string> out;
    std::istringstream fields(row);
    for (std::string cell; std::getline(fields, cell, '\t');) out.push_back(cell);
    return out;
  };
  const std::vector<std::string> header = cells(line);
  const auto column = [&](const char* name) {
    return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
  };
  const std::size_t file = column("file"), id = column("id"), x = column("coa1"),
                    y = column("coa2");
  ASSERT_LT(y, header.size());
  std::size_t genes = 0;
  while (std::getline(table, line)) {
    const std::vector<std::string> row = cells(line);
    if (row[file] != inputs[1] || row[x] == "NA") continue;
    ++genes;
    const std::string title = "<title>" + row[id] + ": coa1 ";
    const std::size_t at = figure.find(title);
    ASSERT_NE(at, std::string::npos) << row[id];
    const std::size_t second = figure.find(", coa2 ", at);
    EXPECT_NEAR(std::stod(figure.substr(at + title.size())), std::stod(row[x]), 6e-4) << row[id];
    EXPECT_NEAR(std::stod(figure.substr(second + 7)), std::stod(row[y]), 6e-4) << row[id];
  }
  EXPECT_EQ(genes, 200u);
  std::size_t dots = 0;
  for (std::size_t at = figure.find("<circle"); at != std::string::npos;
       at = figure.find("<circle", at + 1)) {
    ++dots;
  }
  EXPECT_EQ(dots, genes);
}

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
