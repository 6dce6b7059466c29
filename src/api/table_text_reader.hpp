// An output's text (the table's, the summary's, the codon usage's) read back into cells as it is
// written: the header's names give each column its kind (reports/column_catalog.hpp), each row's
// fields are handed to a TableReceiver typed. Fields are split at tabs, rows at line feeds (the
// table writes neither inside a field); a field in quotes has its doubled quotes undone.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "reports/column_catalog.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/trelba.hpp"

namespace trelba {

class TableTextReader final : public ByteSink {
 public:
  // `catalog`: the output's columns (TableCatalog, SummaryCatalog, CodonUsageCatalog).
  explicit TableTextReader(TableReceiver& receiver,
                           std::span<const ColumnEntry> catalog = TableCatalog())
      : receiver_(receiver), catalog_(catalog) {}

  // Takes the next piece of text (rows may be cut anywhere between two pieces).
  bool Write(const char* data, std::size_t size) override;

 private:
  void Line(std::string_view line);

  TableReceiver& receiver_;
  std::span<const ColumnEntry> catalog_;
  std::vector<ColumnKind> kinds_;  // empty until the header is read
  std::string partial_;            // the start of a row cut by the end of a piece
  std::string unquoted_;
};

// The columns named by an output's header line `header` (without its line feed).
std::vector<Column> ColumnsOfHeader(std::string_view header,
                                    std::span<const ColumnEntry> catalog = TableCatalog());

}  // namespace trelba
