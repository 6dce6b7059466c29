// Reading the tables a reference can be given as: a codon usage table, codonW's cai_file and
// fop_file, a list of codons. Each case names one codon's expected value, or the error.
#include "input/codon_table_text.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace trelba {
namespace {

// The 64 codons in codonW's order, each followed by `value(position)`.
std::string CodonwValues(const std::function<std::string(std::size_t)>& value) {
  std::string text;
  for (std::size_t p = 0; p < 64; ++p) text += value(p) + (p % 16 == 15 ? "\n" : ",");
  return text;
}

// A usage table: header, then each file's 64 rows with w = index / 100 and TTC optimal.
std::string UsageTable(const std::vector<std::string>& files, const std::string& ggg_w = "0.64") {
  std::string text = "file\tcodon\tamino_acid\tcount\tw\toptimal\n";
  for (const std::string& file : files) {
    for (int c = 1; c <= kCodonCount; ++c) {
      const std::string w = c == 64 ? ggg_w : std::to_string(c / 100.0);
      text += file + "\t" + CodonName(c) + "\tX\t" + std::to_string(c) + "\t" + w + "\t" +
              (c == 2 ? "1" : "0") + "\n";
    }
  }
  return text;
}

struct TableCase {
  const char* name;
  std::string text;
  const char* codon;  // whose w is checked
  double w;
  std::string error;  // part of the error; empty when it reads
};

void PrintTo(const TableCase& c, std::ostream* os) {
  *os << c.name;
}

class CodonTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(CodonTables, Read) {
  const TableCase& c = GetParam();
  EXPECT_EQ(LooksLikeCodonTable(c.text), true);
  CodonTableText table;
  const std::optional<std::string> error = ReadCodonTable(c.text, table);
  if (!c.error.empty()) {
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(c.error), std::string::npos) << *error;
    return;
  }
  ASSERT_FALSE(error.has_value()) << *error;
  const auto codon = static_cast<std::size_t>(CodonIndexOfName(c.codon));
  EXPECT_EQ(table.w[codon], c.w);
  if (table.usage_table) {
    EXPECT_TRUE(table.optimal[2]);
    EXPECT_FALSE(table.optimal[1]);
    EXPECT_EQ(table.counts[codon], codon);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodonTables,
    ::testing::Values(
        TableCase{"UsageTable", UsageTable({"a"}), "TCT", 0.05, ""},
        TableCase{"SameTableTwice", UsageTable({"a", "b"}), "GGG", 0.64, ""},
        TableCase{"TwoTables", UsageTable({"a"}) + UsageTable({"b"}, "0.5").substr(39), "GGG", 0,
                  "several references (a, b)"},
        TableCase{"RowMissing", UsageTable({"a"}).substr(0, UsageTable({"a"}).rfind("a\tGGG")),
                  "GGG", 0, "no row of codon GGG"},
        TableCase{"WAboveOne", UsageTable({"a"}, "2"), "GGG", 0, "w '2' is no number from 0 to 1"},
        TableCase{"CaiFileInCodonwOrder",
                  CodonwValues([](std::size_t p) { return std::to_string(p + 1); }), "TCT", 2,
                  ""},  // codonW's second codon
        TableCase{"CaiFileShort", "0.5 0.5\n", "TTT", 0, "64 values, not 2"}),
    [](const auto& test) { return std::string(test.param.name); });

struct OptimalCase {
  const char* name;
  std::string text;
  const char* codon;
  int value;
  std::string error;
};

void PrintTo(const OptimalCase& c, std::ostream* os) {
  *os << c.name;
}

class OptimalCodonFiles : public ::testing::TestWithParam<OptimalCase> {};

TEST_P(OptimalCodonFiles, Read) {
  const OptimalCase& c = GetParam();
  OptimalCodonsText codons;
  const std::optional<std::string> error = ReadOptimalCodons(c.text, codons);
  if (!c.error.empty()) {
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find(c.error), std::string::npos) << *error;
    return;
  }
  ASSERT_FALSE(error.has_value()) << *error;
  EXPECT_EQ(codons.value[static_cast<std::size_t>(CodonIndexOfName(c.codon))], c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OptimalCodonFiles,
    ::testing::Values(
        OptimalCase{"FopFileInCodonwOrder",
                    CodonwValues([](std::size_t p) { return p == 4 ? "3" : "2"; }), "TTC", 3, ""},
        OptimalCase{"FopFileOthers", CodonwValues([](std::size_t p) { return p == 4 ? "3" : "1"; }),
                    "TTT", 1, ""},
        OptimalCase{"FopFileBadValue", CodonwValues([](std::size_t) { return "4"; }), "TTT", 0,
                    "'4' is not 0, 1, 2 or 3"},
        OptimalCase{"ListWithUAndComments", "# E. coli\nTTC, cug\nUAC\n", "CTG", 3, ""},
        OptimalCase{"ListLeavesTheRestNonOptimal", "TTC\n", "TTT", 2, ""},
        OptimalCase{"ListWithANonCodon", "TTC TTX\n", "TTC", 0, "'TTX' is no codon"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
