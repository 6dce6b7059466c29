// The R package's documentation written from the code's own tables: the columns of the
// data frame trelba_table() gives (r/man/trelba_table.Rd), from the column catalog.
#pragma once

#include <string>
#include <string_view>

namespace trelba {

// `text` as Rd running text: '\', '%', '{' and '}' escaped, "--" kept two hyphens.
std::string RdText(std::string_view text);

std::string TableColumnsRd();

}  // namespace trelba
