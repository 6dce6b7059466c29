#include "driver/options.hpp"

#include <charconv>
#include <string_view>

#include "codes/ncbi_table_option.hpp"

namespace trelba {
namespace {

struct ValueOption {
  char short_name;            // 0: none
  std::string_view long_name;
  std::optional<std::string> Options::*target;
  std::string_view value_name;
};

constexpr ValueOption kValueOptions[] = {
    {'T', "--table", &Options::table, "a file name"},
    {'o', "--output", &Options::output_prefix, "a prefix"},
    {'j', "--threads", &Options::threads, "a number of threads"},
    {0, "--gcode", &Options::ncbi_table, "an NCBI translation table number"},
};

// More threads than this are a typing error: the work is shared by a few at most.
constexpr unsigned kMaxThreads = 256;

// Matches `arg` against a value option; on a match sets `value_inline` to a joined value
// ("--table=x", "-Tx") when there is one.
bool Matches(const ValueOption& option, std::string_view arg,
             std::optional<std::string_view>& value_inline) {
  value_inline.reset();
  if (arg == option.long_name) return true;
  if (arg.size() > option.long_name.size() && arg.starts_with(option.long_name) &&
      arg[option.long_name.size()] == '=') {
    value_inline = arg.substr(option.long_name.size() + 1);
    return true;
  }
  if (option.short_name != 0 && arg.size() >= 2 && arg[0] == '-' &&
      arg[1] == option.short_name) {
    if (arg.size() > 2) value_inline = arg.substr(2);
    return true;
  }
  return false;
}

std::string Validate(Options& options) {
  if (options.ncbi_code != nullptr && options.code_argument) {
    return "--gcode and a genetic code number cannot both be given";
  }
  if (options.threads) {
    const std::string& text = *options.threads;
    unsigned count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count == 0 ||
        count > kMaxThreads) {
      return "--threads needs a whole number from 1 to " + std::to_string(kMaxThreads) +
             ", not '" + text + "'";
    }
    options.thread_count = count;
  }
  if (options.output_prefix && options.no_reports) {
    return "--output and --no-reports cannot be given together";
  }
  if (options.input == kStandardStream && !options.output_prefix && !options.no_reports) {
    return "reports cannot be written beside standard input: give -o PREFIX to name them, "
           "or --no-reports (with --table FILE)";
  }
  return {};
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine result;
  Options& options = result.options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") {
      ++i;
      break;
    }
    if (arg.size() < 2 || arg[0] != '-') break;  // the file name ("-" included)
    if (arg == "-h" || arg == "--help") {
      options.action = Options::Action::kHelp;
      return result;
    }
    if (arg == "-V" || arg == "--version") {
      options.action = Options::Action::kVersion;
      return result;
    }
    if (arg == "--no-reports") {
      options.no_reports = true;
      continue;
    }
    bool matched = false;
    for (const ValueOption& option : kValueOptions) {
      std::optional<std::string_view> value;
      if (!Matches(option, arg, value)) continue;
      matched = true;
      if (!value) {
        if (i + 1 == argc) {
          result.error = "option " + std::string(arg) + " needs " + std::string(option.value_name);
          return result;
        }
        value = argv[++i];
      }
      options.*option.target = std::string(*value);
      break;
    }
    if (!matched) {
      result.error = "unknown option: " + std::string(arg);
      return result;
    }
  }
  // The table number is checked first: "--gcode genes.fa" is a missing number.
  if (options.ncbi_table) {
    const NcbiTableChoice choice = ChooseNcbiTable(*options.ncbi_table);
    if (choice.code == nullptr) {
      result.error = choice.problem;
      return result;
    }
    options.ncbi_code = choice.code;
  }
  if (i == argc) {
    result.error = "no file name given";
    return result;
  }
  options.input = argv[i++];
  if (i < argc) options.code_argument = argv[i++];
  for (; i < argc; ++i) options.ignored.emplace_back(argv[i]);
  result.error = Validate(options);
  return result;
}

}  // namespace trelba
