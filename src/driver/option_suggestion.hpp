// "Did you mean": the option a mistyped one most likely stands for, for the usage error
// that refuses it.
#pragma once

#include <cstddef>
#include <string_view>

namespace trelba {

// The long option of the option table nearest to `typed` ("--tabel", "-table",
// "--table=x.tsv", "--tab"): one or two letters added, dropped, changed or swapped, or the
// start of exactly one option's name; empty when none is near enough.
std::string_view SuggestedOption(std::string_view typed);

// Letters to add, drop, change or swap next to each other to make `b` of `a`.
std::size_t EditDistance(std::string_view a, std::string_view b);

}  // namespace trelba
