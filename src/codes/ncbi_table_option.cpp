#include "codes/ncbi_table_option.hpp"

#include "codes/ncbi_tables.hpp"

namespace trelba {
namespace {

// "1-6, 9-16, 21-33": the defined numbers as runs.
std::string DefinedRuns() {
  const auto numbers = NcbiTableNumbers();
  std::string runs;
  for (std::size_t i = 0; i < numbers.size();) {
    std::size_t last = i;
    while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1) ++last;
    if (!runs.empty()) runs += ", ";
    runs += std::to_string(numbers[i]);
    if (last != i) {
      runs += '-';
      runs += std::to_string(numbers[last]);
    }
    i = last + 1;
  }
  return runs;
}

}  // namespace

NcbiTableChoice ChooseNcbiTable(std::string_view text) {
  int table = 0;
  bool digits = !text.empty();
  for (const char c : text) {
    if (c < '0' || c > '9') {
      digits = false;
      break;
    }
    table = table * 10 + (c - '0');
    if (table > 1000) table = 1000;  // no table is numbered so high; no overflow either
  }
  NcbiTableChoice choice;
  if (!digits) {
    choice.problem = kNcbiTableOption;
    choice.problem.append(" needs an NCBI translation table number, not '").append(text) += '\'';
    return choice;
  }
  choice.code = NcbiGeneticCode(table);
  if (choice.code == nullptr) {
    choice.problem.append("NCBI defines no translation table ").append(text);
    choice.problem.append(" (tables: ").append(DefinedRuns()) += ')';
  }
  return choice;
}

}  // namespace trelba
