// The Galaxy tool's help (galaxy/trelba.xml, reStructuredText) written from the code's own
// tables: the columns of its gene table, genome summary and codon usage, from the column
// catalog, each group's condition in the words of the tool's form.
#pragma once

#include <string>
#include <string_view>

namespace trelba {

// `text` as reStructuredText running text: '\', '*', '`', '_' and '|' escaped.
std::string RstText(std::string_view text);

std::string TableColumnsGalaxy();
std::string SummaryColumnsGalaxy();
std::string CodonUsageColumnsGalaxy();

}  // namespace trelba
