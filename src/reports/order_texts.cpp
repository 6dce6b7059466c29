#include "reports/order_texts.hpp"

namespace trelba {

void FormatOrderValues(const FamilyValues& order, OrderTexts& texts) {
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    char* const begin = texts.text[f].data();
    texts.size[f] = static_cast<std::uint8_t>(FormatDouble(begin, order[f]) - begin);
  }
}

}  // namespace trelba
