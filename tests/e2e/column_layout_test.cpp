// The table, the summary and the codon usage under every layout of their optional column
// groups: the header is the column catalog's names, in its order, and every row has a cell
// under each name of the kind the catalog gives it (NA only where the catalog says when).
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "reports/column_catalog.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!text.empty() && text.back() == separator) parts.emplace_back();
  return parts;
}

// A column's cells, each under its name.
struct Cell {
  std::string name;
  const ColumnEntry* entry;
};

std::vector<Cell> CellsOf(std::span<const ColumnEntry> catalog, const TableLayout& layout) {
  std::vector<Cell> cells;
  for (const ColumnEntry& entry : catalog) {
    if (!layout.Has(entry.group)) continue;
    for (const std::string& name : CellNames(entry)) cells.push_back({name, &entry});
  }
  return cells;
}

bool FitsType(const std::string& text, ColumnType type) {
  switch (type) {
    case ColumnType::kText:
      return true;
    case ColumnType::kFlag:
      return text == "0" || text == "1";
    case ColumnType::kInteger:
      return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    case ColumnType::kNumber: {
      char* end = nullptr;
      std::strtod(text.c_str(), &end);
      return !text.empty() && *end == '\0';
    }
  }
  return false;
}

// Every line of `output` against the cells of its catalog: the header their names, each
// row a cell of its column's type under each, NA only where the column says when; the
// row of an input that failed (its first cell `failed_row`) NA but in its kept columns.
void ExpectOutputFollowsCatalog(const std::string& output, const std::vector<Cell>& cells,
                                const std::string& what, const std::string& failed_row = "") {
  const std::vector<std::string> lines = Split(output, '\n');
  ASSERT_GE(lines.size(), 3u) << what;
  ASSERT_EQ(lines.back(), "") << what << ": the last line has no line end";
  std::string header;
  for (const Cell& cell : cells) {
    if (!header.empty()) header += '\t';
    header += cell.name;
  }
  EXPECT_EQ(lines[0], header) << what;
  for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
    const std::vector<std::string> row = Split(lines[i], '\t');
    ASSERT_EQ(row.size(), cells.size()) << what << " row " << i << ": " << lines[i];
    const bool failed = !failed_row.empty() && row[0] == failed_row;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const ColumnEntry& entry = *cells[c].entry;
      if (row[c] == "NA" && (failed || !entry.missing.empty())) continue;
      EXPECT_TRUE(FitsType(row[c], entry.type))
          << what << " row " << i << " column " << cells[c].name << ": '" << row[c] << "'";
    }
  }
}

struct LayoutCase {
  std::string name;
  std::vector<std::string> options;
  TableLayout layout;
  std::vector<std::string> inputs = {"in.fa"};  // missing.fa cannot be opened
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
  *os << c.name;
}

class ColumnLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ColumnLayouts, HeaderAndRowsFollowTheCatalog) {
  const LayoutCase& c = GetParam();
  ScratchDir dir;
  // An empty record, an all-N record, a lone stop and ordinary genes.
  WriteFile(dir / "in.fa",
            ">g1 Phe and Gly\nTTTTTTTTCGGG\n>empty record\n>allN\nNNNNNN\n>stop\nTAA\n"
            ">g2 some\tdescription\nATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCTTAG\n"
            ">g3\nATGAAAAAGCTGCTTTTATTCGGCGGTGGAGGGTAA\n");
  WriteFile(dir / "ref.fa", ">r\nATGAAATTCCTGGGCGCTTAA\n");
  WriteFile(dir / "in2.fa", ">a\nTTTTTCTTAAAAGGG\n>b\nCTGCTGAAGGGCGCT\n");
  std::vector<std::string> args = {"--no-reports",  "-T",   "t.tsv", "--summary", "s.tsv",
                                   "--codon-usage", "u.tsv"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  args.push_back("--");
  args.insert(args.end(), c.inputs.begin(), c.inputs.end());
  const bool failed = c.inputs.back() == "missing.fa";
  const RunResult run = RunTrelba(args, dir.path());
  ASSERT_EQ(run.status, failed ? 255 : 0) << run.err;
  ExpectOutputFollowsCatalog(ReadFile(dir / "t.tsv"), CellsOf(TableCatalog(), c.layout), "table");
  ExpectOutputFollowsCatalog(ReadFile(dir / "s.tsv"), CellsOf(SummaryCatalog(), c.layout),
                             "summary", failed ? "missing.fa" : "");
  ExpectOutputFollowsCatalog(ReadFile(dir / "u.tsv"), CellsOf(CodonUsageCatalog(), c.layout),
                             "codon usage");
}

TableLayout Layout(bool file, bool counts, bool description, bool reference) {
  TableLayout layout;
  return layout.Add(ColumnGroup::kFile, file)
      .Add(ColumnGroup::kCounts, counts)
      .Add(ColumnGroup::kDescription, description)
      .Add(ColumnGroup::kReference, reference);
}

// Every combination of the optional groups, and a run whose second input fails.
std::vector<LayoutCase> AllLayouts() {
  static const char* const kNames[] = {"file", "counts", "description", "reference"};
  static const std::vector<std::string> kOptions[] = {
      {"--file-column"}, {"--counts"}, {"--description"}, {"--reference", "ref.fa"}};
  std::vector<LayoutCase> cases;
  for (unsigned mask = 0; mask < 16; ++mask) {
    std::string name;
    std::vector<std::string> options;
    for (unsigned g = 0; g < 4; ++g) {
      if ((mask >> g & 1) == 0) continue;
      if (!name.empty()) name += '_';
      name += kNames[g];
      options.insert(options.end(), kOptions[g].begin(), kOptions[g].end());
    }
    cases.push_back({name.empty() ? "core" : name, options,
                     Layout(mask & 1, mask >> 1 & 1, mask >> 2 & 1, mask >> 3 & 1)});
  }
  // The groups --columns adds, without and with a reference (and with --counts, which they
  // follow).
  TableLayout groups = Layout(false, true, false, false);
  groups.Add(ColumnGroup::kComposition)
      .Add(ColumnGroup::kDinucleotides)
      .Add(ColumnGroup::kRscu)
      .Add(ColumnGroup::kAminoAcids);
  cases.push_back(
      {"column_groups", {"--counts", "--columns", "composition,dinucleotides,rscu,aa"}, groups});
  groups.Add(ColumnGroup::kReference).Add(ColumnGroup::kCompositionReference);
  cases.push_back({"column_groups_reference",
                   {"--columns=aa,rscu,dinucleotides,composition,counts", "--reference", "ref.fa"},
                   groups});
  cases.push_back({"failed_second_input_auto_reference",
                   {"--reference", "auto"},
                   Layout(true, false, false, true),
                   {"in.fa", "missing.fa"}});
  // The correspondence analysis of each input, and with three or more inputs (one of them
  // failing) that of the inputs.
  TableLayout coa = Layout(false, false, false, true);
  cases.push_back({"coa_rscu_reference",
                   {"--coa", "rscu", "--reference", "ref.fa"},
                   coa.Add(ColumnGroup::kCoa)});
  TableLayout inputs = Layout(true, true, false, false);
  cases.push_back({"coa_aa_of_three_inputs_one_failed",
                   {"--coa", "aa", "--counts"},
                   inputs.Add(ColumnGroup::kCoa).Add(ColumnGroup::kInputsCoa),
                   {"in.fa", "in2.fa", "ref.fa", "missing.fa"}});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Table, ColumnLayouts, ::testing::ValuesIn(AllLayouts()),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace trelba::test
