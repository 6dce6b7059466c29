#include "api/table_text_reader.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "reports/column_catalog.hpp"

namespace trelba {
namespace {

constexpr std::string_view kNotAvailable = "NA";

// Calls `each` with every tab-separated field of `line`.
template <class Each>
void ForEachField(std::string_view line, Each&& each) {
  for (std::size_t column = 0;; ++column) {
    const std::size_t tab = line.find('\t');
    each(column, line.substr(0, tab));
    if (tab == std::string_view::npos) return;
    line.remove_prefix(tab + 1);
  }
}

// A text field's text: in quotes when it holds a quote, which is doubled there.
std::string_view Unquoted(std::string_view field, std::string& scratch) {
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') return field;
  field = field.substr(1, field.size() - 2);
  scratch.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    scratch += field[i];
    if (field[i] == '"') ++i;  // the second of a doubled quote
  }
  return scratch;
}

template <class Number>
bool Parse(std::string_view field, Number& value) {
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size();
}

// What the column `name` of an output whose columns are `catalog` holds.
ColumnKind KindIn(std::span<const ColumnEntry> catalog, std::string_view name) {
  for (const ColumnEntry& column : catalog) {
    const std::vector<std::string> names = CellNames(column);
    if (std::find(names.begin(), names.end(), name) == names.end()) continue;
    if (column.type == ColumnType::kText) return ColumnKind::kText;
    return column.type == ColumnType::kNumber ? ColumnKind::kNumber : ColumnKind::kWholeNumber;
  }
  return ColumnKind::kNumber;
}

}  // namespace

std::vector<Column> ColumnsOfHeader(std::string_view header, std::span<const ColumnEntry> catalog) {
  std::vector<Column> columns;
  ForEachField(header, [&](std::size_t, std::string_view name) {
    columns.push_back({std::string(name), KindIn(catalog, name)});
  });
  return columns;
}

bool TableTextReader::Write(const char* data, std::size_t size) {
  std::string_view text(data, size);
  if (!partial_.empty()) {
    const std::size_t end = text.find('\n');
    partial_.append(text.substr(0, end));
    if (end == std::string_view::npos) return true;
    Line(partial_);
    partial_.clear();
    text.remove_prefix(end + 1);
  }
  for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
    Line(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  partial_.assign(text);
  return true;
}

void TableTextReader::Line(std::string_view line) {
  if (kinds_.empty()) {
    const std::vector<Column> columns = ColumnsOfHeader(line, catalog_);
    for (const Column& column : columns) kinds_.push_back(column.kind);
    receiver_.Columns(columns);
    return;
  }
  ForEachField(line, [&](std::size_t column, std::string_view field) {
    const ColumnKind kind = column < kinds_.size() ? kinds_[column] : ColumnKind::kText;
    std::int64_t whole = 0;
    double number = 0;
    if (kind == ColumnKind::kText) {
      receiver_.Text(column, Unquoted(field, unquoted_));
    } else if (field == kNotAvailable) {
      receiver_.Missing(column);
    } else if (kind == ColumnKind::kWholeNumber && Parse(field, whole)) {
      receiver_.WholeNumber(column, whole);
    } else if (Parse(field, number)) {
      receiver_.Number(column, number);
    } else {
      receiver_.Missing(column);  // no number the table writes: cannot happen
    }
  });
}

}  // namespace trelba
