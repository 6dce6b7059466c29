// "Did you mean": a mistyped option is answered with the option it most likely stands
// for, and a word near no option with nothing.
#include "driver/option_suggestion.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace trelba {
namespace {

struct SuggestionCase {
  const char* typed;
  const char* meant;  // "" for no suggestion
};

void PrintTo(const SuggestionCase& c, std::ostream* out) {
  *out << c.typed << " -> " << (*c.meant != 0 ? c.meant : "nothing");
}

class Suggestions : public testing::TestWithParam<SuggestionCase> {};

TEST_P(Suggestions, NameTheNearestOption) {
  EXPECT_EQ(SuggestedOption(GetParam().typed), GetParam().meant);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Suggestions,
    testing::Values(SuggestionCase{"--tabel", "--table"},            // two letters swapped
                    SuggestionCase{"-table", "--table"},             // one dash
                    SuggestionCase{"--summery=s.tsv", "--summary"},  // a value joined
                    SuggestionCase{"--no-report", "--no-reports"},   // a letter left out
                    SuggestionCase{"--refrence", "--reference"},
                    SuggestionCase{"--codon_usage", "--codon-usage"},
                    SuggestionCase{"--tab", "--table"},  // the start of one option's name
                    SuggestionCase{"--no-", ""},         // the start of several
                    SuggestionCase{"--xyzzy", ""},       // near none
                    SuggestionCase{"-x", ""},            // a short option
                    SuggestionCase{"--", ""}, SuggestionCase{"--gcod", "--gcode"}),
    [](const auto& test) {
      std::string name;
      for (const char c : std::string(test.param.typed)) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      }
      return "typed" + name;
    });

// Distances against hand-counted edits: insertions, deletions, changes, adjacent swaps.
TEST(EditDistance, CountsEachKindOfEditOnce) {
  EXPECT_EQ(EditDistance("table", "table"), 0u);
  EXPECT_EQ(EditDistance("tabel", "table"), 1u);
  EXPECT_EQ(EditDistance("tble", "table"), 1u);
  EXPECT_EQ(EditDistance("tablex", "table"), 1u);
  EXPECT_EQ(EditDistance("cable", "table"), 1u);
  EXPECT_EQ(EditDistance("", "abc"), 3u);
  EXPECT_EQ(EditDistance("ca", "abc"), 3u);  // no swap after an insertion in this alignment
  EXPECT_EQ(EditDistance("summary", "summery"), 1u);
}

}  // namespace
}  // namespace trelba
