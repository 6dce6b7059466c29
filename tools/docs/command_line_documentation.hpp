// The command line's documentation, written from the code's own tables: README's usage
// block is the --help text, the manual page's OPTIONS come from the option table, its
// TABLE, SUMMARY and CODON USAGE and README's column reference from the column catalog, its
// DIAGNOSTICS from the list of warnings.
#pragma once

#include <string>
#include <string_view>

namespace trelba {

// `text` as roff running text: '-' and '\' escaped, no line starting with '.' or '\''.
std::string RoffText(std::string_view text);

std::string UsageMarkdown();
std::string OptionsRoff();
std::string TableColumnsMarkdown();
std::string TableColumnsRoff();
std::string SummaryColumnsMarkdown();
std::string SummaryColumnsRoff();
std::string CodonUsageColumnsMarkdown();
std::string CodonUsageColumnsRoff();
std::string DiagnosticsRoff();

}  // namespace trelba
