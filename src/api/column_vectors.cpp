#include <limits>

#include "trelba/trelba.hpp"

namespace trelba {

void ColumnVectors::Columns(const std::vector<Column>& given) {
  for (const Column& column : given) {
    columns.emplace_back();
    columns.back().column = column;
  }
}

void ColumnVectors::Text(std::size_t c, std::string_view text) {
  Vectors& column = columns[c];
  column.chars.append(text);
  column.ends.push_back(column.chars.size());
}

void ColumnVectors::WholeNumber(std::size_t c, std::int64_t value) {
  Vectors& column = columns[c];
  if (column.column.kind == ColumnKind::kNumber) return Number(c, static_cast<double>(value));
  column.wholes.push_back(value);
  if (!column.missing.empty()) column.missing.push_back(0);
}

void ColumnVectors::Number(std::size_t c, double value) {
  Vectors& column = columns[c];
  if (column.column.kind != ColumnKind::kNumber) return Missing(c);  // beyond 64 bits
  column.numbers.push_back(value);
}

void ColumnVectors::Missing(std::size_t c) {
  Vectors& column = columns[c];
  if (column.column.kind == ColumnKind::kNumber) {
    column.numbers.push_back(std::numeric_limits<double>::quiet_NaN());
    return;
  }
  if (column.missing.empty()) column.missing.assign(column.wholes.size(), 0);
  column.wholes.push_back(0);
  column.missing.push_back(1);
}

}  // namespace trelba
