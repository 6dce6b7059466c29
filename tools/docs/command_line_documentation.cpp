#include "command_line_documentation.hpp"

#include <cctype>

#include "driver/help_text.hpp"
#include "driver/option_table.hpp"
#include "driver/warning_kinds.hpp"
#include "reports/column_catalog.hpp"

namespace trelba {
namespace {

// `text` begun with a capital and ended with a full stop, as a sentence of the manual.
std::string Sentence(std::string_view text) {
  std::string sentence(text);
  if (!sentence.empty()) {
    sentence[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(sentence[0])));
    if (std::string_view(".?!").find(sentence.back()) == std::string_view::npos) sentence += '.';
  }
  return sentence;
}

// The option's names as a roff tag line: ".BR \-T \", \" \-\-table \" \fIFILE\fR\"".
std::string OptionTag(const OptionSpec& option) {
  const std::string argument =
      option.argument.empty() ? "" : " \" \\fI" + RoffText(option.argument) + "\\fR\"";
  if (option.short_name != 0) {
    return ".BR \\-" + std::string(1, option.short_name) + " \", \" " + RoffText(option.long_name) +
           argument + "\n";
  }
  if (option.argument.empty()) return ".B " + RoffText(option.long_name) + "\n";
  return ".BI " + RoffText(option.long_name) + " \" " + RoffText(option.argument) + "\"\n";
}

std::string ColumnsMarkdown(std::span<const ColumnEntry> columns) {
  std::string text = "| column | type | what it holds | NA when |\n|---|---|---|---|\n";
  for (const ColumnEntry& column : columns) {
    const std::string_view when = GroupCondition(column.group);
    text += "| `" + std::string(column.name) + "` | " + std::string(TypeName(column.type)) + " | " +
            Sentence(column.meaning) + (when.empty() ? "" : " Only " + std::string(when) + ".") +
            " | " + (column.missing.empty() ? "never" : std::string(column.missing)) + " |\n";
  }
  return text;
}

std::string ColumnsRoff(std::span<const ColumnEntry> columns) {
  std::string text;
  for (const ColumnEntry& column : columns) {
    const std::string_view when = GroupCondition(column.group);
    std::string kind = std::string(TypeName(column.type)) +
                       (when.empty() ? "" : ", " + std::string(when)) +
                       (column.missing.empty() ? "" : "; NA when " + std::string(column.missing));
    text += ".TP\n.B " + RoffText(column.name) + "\n" + RoffText(Sentence(column.meaning)) + " " +
            RoffText(Sentence(kind)) + "\n";
  }
  return text;
}

}  // namespace

std::string RoffText(std::string_view text) {
  std::string roff;
  for (const char c : text) {
    if (c == '-') {
      roff += "\\-";
    } else if (c == '\\') {
      roff += "\\e";
    } else {
      if ((c == '.' || c == '\'') && (roff.empty() || roff.back() == '\n')) roff += "\\&";
      roff += c;
    }
  }
  return roff;
}

std::string UsageMarkdown() {
  std::string text;
  std::string_view help = HelpText();
  while (!help.empty()) {
    const std::size_t end = help.find('\n');
    const std::string_view line = help.substr(0, end);
    text += line.empty() ? "\n" : "    " + std::string(line) + "\n";
    help.remove_prefix(end + 1);
  }
  return text;
}

std::string OptionsRoff() {
  std::string text;
  for (const OptionSpec& option : OptionTable()) {
    text += ".TP\n" + OptionTag(option) + RoffText(Sentence(option.help)) + "\n";
    if (!option.details.empty()) text += RoffText(option.details) + "\n";
  }
  return text;
}

std::string TableColumnsMarkdown() {
  return ColumnsMarkdown(TableCatalog());
}

std::string TableColumnsRoff() {
  return ColumnsRoff(TableCatalog());
}

std::string SummaryColumnsMarkdown() {
  return ColumnsMarkdown(SummaryCatalog());
}

std::string SummaryColumnsRoff() {
  return ColumnsRoff(SummaryCatalog());
}

std::string CodonUsageColumnsMarkdown() {
  return ColumnsMarkdown(CodonUsageCatalog());
}

std::string CodonUsageColumnsRoff() {
  return ColumnsRoff(CodonUsageCatalog());
}

std::string DiagnosticsRoff() {
  std::string text;
  for (const WarningKind& kind : WarningKinds()) {
    text += ".TP\n.B \"" + RoffText(kind.name) + "\"\n" + RoffText(Sentence(kind.meaning)) + "\n";
  }
  return text;
}

}  // namespace trelba
