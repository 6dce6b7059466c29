// The table's text read back into typed cells, whatever pieces it comes in; the library's
// columns setting.
#include "api/table_text_reader.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "trelba/trelba.hpp"

namespace trelba {
namespace {

// Every call, written down: "T:<text>", "W:<whole>", "N:<number>", "-" for NA.
class Cells final : public TableReceiver {
 public:
  void Columns(const std::vector<Column>& columns) override {
    for (const Column& column : columns) {
      calls.push_back(column.name + "=" + std::to_string(static_cast<int>(column.kind)));
    }
  }
  void Text(std::size_t c, std::string_view text) override { Add(c, "T:" + std::string(text)); }
  void WholeNumber(std::size_t c, std::int64_t value) override {
    Add(c, "W:" + std::to_string(value));
  }
  void Number(std::size_t c, double value) override {
    char text[32];
    std::snprintf(text, sizeof text, "N:%.17g", value);
    Add(c, text);
  }
  void Missing(std::size_t c) override { Add(c, "-"); }
  std::vector<std::string> calls;

 private:
  void Add(std::size_t column, const std::string& call) {
    calls.push_back(std::to_string(column) + call);
  }
};

const std::string kTable =
    "file\tseq\tid\tcodons\tscore\tTTT\tdescription\n"
    "a.fa\t1\tg1\t122\t0.694148\t3\tplain\n"
    "a.fa\t2\t\"say \"\"hi\"\"\"\t0\tNA\t0\t\n"
    "\"b\"\"\"\t3\tNA\t7\t1e-05\t12\t\"x\"\n";

const std::vector<std::string> kCells = {"file=0",
                                         "seq=1",
                                         "id=0",
                                         "codons=1",
                                         "score=2",
                                         "TTT=1",
                                         "description=0",
                                         "0T:a.fa",
                                         "1W:1",
                                         "2T:g1",
                                         "3W:122",
                                         "4N:0.69414799999999999",
                                         "5W:3",
                                         "6T:plain",
                                         "0T:a.fa",
                                         "1W:2",
                                         "2T:say \"hi\"",
                                         "3W:0",
                                         "4-",
                                         "5W:0",
                                         "6T:",
                                         "0T:b\"",
                                         "1W:3",
                                         "2T:NA",
                                         "3W:7",
                                         "4N:1.0000000000000001e-05",
                                         "5W:12",
                                         "6T:x"};

TEST(TableTextReader, GivesTheSameCellsWhereverThePiecesEnd) {
  for (std::size_t cut = 0; cut <= kTable.size(); ++cut) {
    for (std::size_t second = cut; second <= kTable.size(); second += 7) {
      Cells cells;
      TableTextReader reader(cells);
      reader.Write(kTable.data(), cut);
      reader.Write(kTable.data() + cut, second - cut);
      reader.Write(kTable.data() + second, kTable.size() - second);
      EXPECT_EQ(cells.calls, kCells) << "cut at " << cut << " and " << second;
    }
  }
}

}  // namespace
}  // namespace trelba

namespace trelba {
namespace {

// The library's `columns` setting is --columns: the same header as the table it makes, the
// groups' cells read with their kinds, and a group it does not know refused in its words.
TEST(LibraryColumns, AreTheGroupsOfTheCommandLine) {
  TableSettings settings;
  settings.columns = "aa,composition";
  settings.threads = "1";
  const std::string text = TableOfText(">g\nATGTTTTTCGGGTAA\n", settings);
  std::string header;
  for (const Column& column : TableColumns(settings)) {
    header += (header.empty() ? "" : "\t") + column.name;
    if (column.name == "l_aa" || column.name == "aa_Phe") {
      EXPECT_EQ(column.kind,
                column.name == "l_aa" ? ColumnKind::kWholeNumber : ColumnKind::kNumber);
    }
  }
  EXPECT_EQ(text.substr(0, text.find('\n')), header);
  EXPECT_NE(header.find("\tgc1\t"), std::string::npos);
  EXPECT_NE(header.find("\taa_Gly"), std::string::npos);
  settings.columns = "codons";
  try {
    TableColumns(settings);
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.option(), "--columns");
  }
}

}  // namespace
}  // namespace trelba
