// The command line: options first, then the file name and the genetic-code argument.
//
//   Trelba [options] filename [genetic_code_number]
//
// "--" ends the options; "-" as the file name is standard input. Options take their value
// as the next argument, or joined ("--table=x.tsv", "-Tx.tsv"); given twice, the last wins.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "codes/genetic_code.hpp"

namespace trelba {

// The file name that stands for standard input.
inline constexpr std::string_view kStandardStream = "-";

struct Options {
  enum class Action { kRun, kHelp, kVersion };
  Action action = Action::kRun;
  std::string input;                         // kStandardStream for standard input
  std::optional<std::string> code_argument;  // the genetic-code argument, when given
  std::optional<std::string> table;          // --table: kStandardStream for standard output
  std::optional<std::string> output_prefix;  // --output
  bool no_reports = false;                   // --no-reports
  std::optional<std::string> ncbi_table;     // --gcode: an NCBI translation table number
  const GeneticCode* ncbi_code = nullptr;    // its families, checked by ParseCommandLine
  std::optional<std::string> threads;        // --threads, checked by ParseCommandLine
  unsigned thread_count = 0;                 // its value; 0 when not given
  std::vector<std::string> ignored;          // arguments after the genetic-code argument
};

struct CommandLine {
  Options options;
  std::string error;  // what is wrong with the command line; empty when nothing is
};

// Parses argv[1] to argv[argc - 1] (at least one argument).
CommandLine ParseCommandLine(int argc, const char* const* argv);

}  // namespace trelba
