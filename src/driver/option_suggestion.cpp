#include "driver/option_suggestion.hpp"

#include <algorithm>
#include <vector>

#include "driver/option_table.hpp"

namespace trelba {
namespace {

constexpr std::size_t kShortestPrefix = 3;

std::string_view Bare(std::string_view name) {
  while (name.starts_with('-')) name.remove_prefix(1);
  return name;
}

// Near enough: one letter off in a short name, two in a longer one.
std::size_t MostEdits(std::string_view name) {
  return name.size() <= 4 ? 1 : 2;
}

}  // namespace

std::size_t EditDistance(std::string_view a, std::string_view b) {
  // Optimal string alignment, row by row.
  std::vector<std::size_t> before(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        row[j] = std::min(row[j], before[j - 2] + 1);
      }
    }
    before.swap(previous);
    previous.swap(row);
  }
  return previous[b.size()];
}

std::string_view SuggestedOption(std::string_view typed) {
  const std::string_view word = Bare(typed.substr(0, typed.find('=')));
  if (word.empty()) return {};
  std::string_view nearest;
  std::size_t best = MostEdits(word) + 1;
  std::string_view started;  // the one option whose name `word` starts
  std::size_t starts = 0;
  for (const OptionSpec& option : OptionTable()) {
    const std::string_view name = Bare(option.long_name);
    if (name.empty()) continue;  // "--"
    const std::size_t distance = EditDistance(word, name);
    if (distance < best) {
      best = distance;
      nearest = option.long_name;
    }
    if (word.size() >= kShortestPrefix && name.starts_with(word)) {
      started = option.long_name;
      ++starts;
    }
  }
  if (!nearest.empty()) return nearest;
  return starts == 1 ? started : std::string_view();
}

}  // namespace trelba
