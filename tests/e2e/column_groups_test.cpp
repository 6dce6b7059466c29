// The table's groups of columns (--columns), beside the layouts of column_layout_test.cpp:
// the same bytes at every thread count; a body too long to keep in a batch, whose pairs of
// bases are counted as it arrives, gives the ratios of one read whole; the groups that are
// options of their own give those options' bytes; --skip-first-codon leaves the first codon
// out of every group but dinucleotides.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "analysis/dinucleotide_ratios.hpp"
#include "input/dinucleotide_reader.hpp"
#include "numeric/number_format.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

constexpr const char* kEveryGroup = "composition,dinucleotides,rscu,aa";

TEST(ColumnGroups, EveryThreadCountWritesTheSameBytes) {
  ScratchDir dir;
  std::string text = ReadFile(TestData() / "inputs" / "ypestis.ffn");
  text += ">empty\n>allN\nNNNNNN\n>short\nAT\n";  // rows with no codon and no pair
  WriteFile(dir / "in.fa", text);
  std::string first;
  for (const char* threads : {"1", "3"}) {
    const RunResult run = RunTrelba({"--no-reports", "-T", "-", "--columns", kEveryGroup,
                                     "--reference", "auto", "-j", threads, "in.fa"},
                                    dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Split(run.out, '\n').size(), 14u);
    if (first.empty()) first = run.out;
    EXPECT_TRUE(run.out == first) << "-j " << threads;
  }
}

TEST(ColumnGroups, LongBodyCountedAsItArrivesGivesTheRatiosOfOneReadWhole) {
  ScratchDir dir;
  // 300,000 letters, over a batch's text, in lines of 61 so that codons straddle the
  // line ends; its pattern has CG and TA at every place in the frame.
  std::string body;
  const std::string pattern = "ACGTTACGATCGGTAC";
  while (body.size() < 300000) body += pattern;
  std::string text = ">long\n";
  for (std::size_t i = 0; i < body.size(); i += 61) text += body.substr(i, 61) + "\n";
  WriteFile(dir / "in.fa", text);
  const RunResult run =
      RunTrelba({"--no-reports", "-T", "-", "--columns", "dinucleotides", "in.fa"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  DinucleotideReader reader;
  CountDinucleotides(reader, body.data(), body.size());
  std::string expected;
  for (const double ratio : DinucleotideRatiosOf(PairsRead(reader))) {
    char number[kMaxNumberText];
    expected += '\t' + std::string(number, FormatDouble(number, ratio));
  }
  const std::string row = Split(run.out, '\n').at(1);
  EXPECT_EQ(row.substr(row.size() - expected.size()), expected);
}

TEST(ColumnGroups, CountsAndDescriptionAreTheirOptions) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ReadFile(TestData() / "inputs" / "ypestis.ffn"));
  const RunResult options =
      RunTrelba({"--no-reports", "-T", "-", "--counts", "--description", "in.fa"}, dir.path());
  const RunResult groups =
      RunTrelba({"--no-reports", "-T", "-", "--columns=description,counts", "in.fa"}, dir.path());
  ASSERT_EQ(options.status, 0);
  EXPECT_TRUE(groups.out == options.out);
}

// The cell under `name` of a table's first row.
std::string CellOf(const std::string& table, const std::string& name) {
  const std::vector<std::string> lines = Split(table, '\n');
  const std::vector<std::string> header = Split(lines.at(0), '\t');
  const std::vector<std::string> row = Split(lines.at(1), '\t');
  return row.at(
      static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin()));
}

TEST(ColumnGroups, SkipFirstCodonLeavesItOutOfAllButDinucleotides) {
  ScratchDir dir;
  WriteFile(dir / "in.fa", ">g\nGTGTTTCGATAA\n");
  std::vector<std::string> args = {"--no-reports", "-T", "-", "--columns", kEveryGroup, "in.fa"};
  const RunResult kept = RunTrelba(args, dir.path());
  args.insert(args.begin(), "--skip-first-codon");
  const RunResult skipped = RunTrelba(args, dir.path());
  ASSERT_EQ(kept.status, 0);
  ASSERT_EQ(skipped.status, 0);
  const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> cells = {
      {"l_aa", {"3", "2"}},
      {"aa_Val", {"0.333333", "0"}},
      {"rscu_GTG", {"4", "NA"}},
      {"gravy", {"0.833333", "-0.85"}},
      {"cpg_oe", {"5.5", "5.5"}}};
  for (const auto& [name, values] : cells) {
    EXPECT_EQ(CellOf(kept.out, name), values.first) << name;
    EXPECT_EQ(CellOf(skipped.out, name), values.second) << name;
  }
}

}  // namespace
}  // namespace trelba::test
