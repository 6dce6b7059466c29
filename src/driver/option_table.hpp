// Every option of the command line, written once: its names, its argument, what --help
// and the manual page say of it, and where its value goes. The parser, --help, the
// manual page's OPTIONS and README's usage block all come from this table.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace trelba {

struct Options;

struct OptionSpec {
  char short_name = 0;          // 0: none
  std::string_view long_name;   // "--table"; "--" ends the options
  std::string_view argument;    // how --help names its value ("FILE"); empty for a flag
  std::string_view value_name;  // how a message names a missing value ("a file name")
  std::string_view help;        // for --help: a few words, no line ends
  std::string_view details;     // more for the manual page, plain sentences ("" for none)
  std::optional<std::string> Options::*value = nullptr;  // where a value goes
  bool Options::*flag = nullptr;                         // where a flag goes
  bool output = false;  // names an output: given twice, one of the two would be lost
};

// In the order --help lists them.
std::span<const OptionSpec> OptionTable();

// The options block of --help: one entry an option, its help wrapped at 80 columns.
std::string OptionsHelp();

}  // namespace trelba
