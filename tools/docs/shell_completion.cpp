#include "shell_completion.hpp"

#include <string_view>

#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "driver/option_table.hpp"
#include "driver/options.hpp"
#include "reports/column_catalog.hpp"

namespace trelba {
namespace {

// What an option's value completes to: words, and file names or not.
struct ValueCompletion {
  std::string words;  // space-separated
  bool files = true;
  bool list = false;  // several words, comma-separated
};

ValueCompletion ValuesOf(const OptionSpec& option) {
  if (option.value == &Options::variant) {
    std::string words;
    for (int v = 0; v < kGeneticCodeCount; ++v) {
      if (v != 0) words += ' ';
      words += std::to_string(v);
    }
    return {words, false};
  }
  if (option.value == &Options::ncbi_table) {
    std::string words;
    for (const int table : NcbiTableNumbers()) {
      if (!words.empty()) words += ' ';
      words += std::to_string(table);
    }
    return {words, false};
  }
  if (option.value == &Options::background) return {"even input", true};
  if (option.value == &Options::reference) return {std::string(kAutomaticReference), true};
  if (option.value == &Options::columns) {
    std::string words;
    for (const NamedGroup& group : NamedGroups()) {
      if (!words.empty()) words += ' ';
      words += group.name;
    }
    return {words, false, true};
  }
  // A number or a name (-j N, --min-codons N, --label NAME) is no file.
  if (option.argument == "N" || option.argument == "NAME") return {"", false};
  return {"", true};  // a file, a prefix or a folder
}

bool TakesValue(const OptionSpec& option) {
  return option.value != nullptr;
}

// "-T|--table", "--summary".
std::string BashNames(const OptionSpec& option) {
  std::string names;
  if (option.short_name != 0) {
    names += '-';
    names += option.short_name;
    names += '|';
  }
  return names.append(option.long_name);
}

// `text` inside single quotes of zsh's _arguments: quotes closed around a quote, and the
// characters _arguments gives a meaning in a description escaped.
std::string ZshQuoted(std::string_view text) {
  std::string quoted;
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else if (c == '[' || c == ']' || c == ':' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else {
      quoted += c;
    }
  }
  return quoted;
}

}  // namespace

std::string BashCompletion() {
  std::string text = "  case $prev in\n";
  std::string free_values;  // options whose values complete to nothing
  for (const OptionSpec& option : OptionTable()) {
    if (!TakesValue(option)) continue;
    const ValueCompletion values = ValuesOf(option);
    if (values.words.empty() && !values.files) {
      if (!free_values.empty()) free_values += '|';
      free_values += BashNames(option);
      continue;
    }
    text += "    " + BashNames(option) + ")\n";
    if (!values.words.empty()) text += "      words='" + values.words + "'\n";
    if (values.files) text += "      files=1\n";
    if (values.list) text += "      list=1\n";
    text += "      ;;\n";
  }
  if (!free_values.empty()) text += "    " + free_values + ")\n      return\n      ;;\n";
  std::string names;
  for (const OptionSpec& option : OptionTable()) {
    if (option.short_name != 0) {
      names += '-';
      names += option.short_name;
      names += ' ';
    }
    names.append(option.long_name) += ' ';
  }
  names.pop_back();
  text += "    *)\n      if [[ $cur == -* ]]; then\n        words='" + names +
          "'\n      else\n        files=1\n      fi\n      ;;\n  esac\n";
  return text;
}

std::string ZshCompletion() {
  std::string text = "_arguments -s -S \\\n";
  for (const OptionSpec& option : OptionTable()) {
    if (option.long_name == "--") continue;
    std::string value;
    if (TakesValue(option)) {
      const ValueCompletion values = ValuesOf(option);
      const std::string argument = ZshQuoted(option.argument);
      if (values.list) {
        value = ":" + argument + ":_values -s , " + argument + " " + values.words;
      } else if (!values.words.empty() && values.files) {
        value = ":" + argument + ":_Trelba_words_or_files " + values.words;
      } else if (!values.words.empty()) {
        value = ":" + argument + ":(" + values.words + ")";
      } else {
        value = ":" + argument + ":" + (values.files ? "_files" : " ");
      }
    }
    std::string help = "[";
    help += ZshQuoted(option.help);
    help += ']';
    std::string long_form(option.long_name);
    if (TakesValue(option)) long_form += '=';
    text += "  '";
    if (option.short_name != 0) {
      // Either name, but not both: '(-T --table)'{-T+,--table=}'[help]...'.
      const char short_name[] = {'-', option.short_name, '\0'};
      text.append("(").append(short_name).append(" ").append(option.long_name).append(")'{");
      text.append(short_name).append(TakesValue(option) ? "+" : "").append(",");
      text.append(long_form).append("}'");
    } else {
      text += long_form;
    }
    text.append(help).append(value).append("' \\\n");
  }
  text += "  '*:input:_files'\n";
  return text;
}

}  // namespace trelba
