// The order values of one sequence spelt as the reports spell them, formatted once and
// copied into every output that shows them (the family order report and the table).
#pragma once

#include <cstring>

#include "analysis/order_value_memo.hpp"
#include "numeric/number_format.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

void FormatOrderValues(const FamilyValues& order, OrderTexts& texts);

// Copies the text of family `f` to `out`; returns the end of what it wrote.
inline char* CopyOrderText(char* out, const OrderTexts& texts, std::size_t f) {
  std::memcpy(out, texts.text[f].data(), kMaxNumberText);  // fixed size: one quick copy
  return out + texts.size[f];
}

}  // namespace trelba
