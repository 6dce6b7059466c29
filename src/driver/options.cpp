#include "driver/options.hpp"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <utility>

#include "codes/ncbi_table_option.hpp"
#include "driver/option_suggestion.hpp"
#include "driver/option_table.hpp"
#include "driver/ordered_pipeline.hpp"
#include "reports/output_compression.hpp"

namespace trelba {
namespace {

// More threads than this are a typing error.
constexpr unsigned kMaxThreads = 256;

// Matches `arg` against an option; on a match sets `value_inline` to a joined value
// ("--table=x", "-Tx") when the option takes one and there is one.
bool Matches(const OptionSpec& option, std::string_view arg,
             std::optional<std::string_view>& value_inline) {
  value_inline.reset();
  if (arg == option.long_name) return true;
  if (option.value == nullptr) {
    return option.short_name != 0 && arg.size() == 2 && arg[1] == option.short_name;
  }
  if (arg.size() > option.long_name.size() && arg.starts_with(option.long_name) &&
      arg[option.long_name.size()] == '=') {
    value_inline = arg.substr(option.long_name.size() + 1);
    return true;
  }
  if (option.short_name != 0 && arg.size() >= 2 && arg[0] == '-' && arg[1] == option.short_name) {
    if (arg.size() > 2) value_inline = arg.substr(2);
    return true;
  }
  return false;
}

bool NamesAFile(const std::string& name) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::u8path(name), error);
}

bool IsVariantNumber(std::string_view id) {
  return id.size() == 1 && id[0] >= '0' && id[0] <= '7';
}

// The genetic code the options select, in one place: --gcode, --variant or the code
// operand (at most one of them), with a warning for an operand that selects the standard
// code without saying so. Empty, or what is wrong.
std::string ChooseCode(Options& options) {
  const int given =
      (options.ncbi_table ? 1 : 0) + (options.variant ? 1 : 0) + (options.code_argument ? 1 : 0);
  if (options.ncbi_table) {
    // The table number is checked first: "--gcode genes.fa" is a missing number.
    const NcbiTableChoice choice = ChooseNcbiTable(*options.ncbi_table);
    if (choice.code == nullptr) return choice.problem;
    options.code = choice.code;
  }
  if (given > 1) {
    // Named as the user gave them.
    std::vector<std::string> named;
    if (options.ncbi_table) named.push_back("--gcode " + *options.ncbi_table);
    if (options.variant) named.push_back("--variant " + *options.variant);
    if (options.code_argument) named.push_back("the code operand '" + *options.code_argument + "'");
    return named[0] + " and " + named[1] + " cannot both be given: give one genetic code";
  }
  if (options.variant) {
    if (!IsVariantNumber(*options.variant)) {
      return "--variant needs a number from 0 to 7, not '" + *options.variant + "'";
    }
    options.code = &SelectGeneticCode(*options.variant);
  }
  if (options.code_argument) {
    const std::string& id = *options.code_argument;
    if (!IsVariantNumber(id)) {
      const bool looks_like_file = id.find_first_of("./") != std::string::npos;
      options.warnings.push_back("genetic code argument '" + id +
                                 "' is not one of 0 to 7: code 0 (the standard code) was used" +
                                 (looks_like_file ? "; no file of that name exists" : ""));
    }
    options.code = &SelectGeneticCode(id);
  }
  if (options.code == nullptr) options.code = &SelectGeneticCode("0");
  return {};
}

// A whole number, "-" before it or not ("2", "11", "-1").
bool IsNumber(std::string_view arg) {
  if (arg.starts_with('-')) arg.remove_prefix(1);
  return !arg.empty() && arg.find_first_not_of("0123456789") == std::string_view::npos;
}

// A negative number ("-1", "-12"): never an option, so an operand (a genetic-code
// argument that selects the standard code).
bool IsNegativeNumber(std::string_view arg) {
  return arg.starts_with('-') && IsNumber(arg);
}

// Whether the second of `operands` (all given before "--") is the genetic-code argument: of
// exactly two, unless it names a file; of more, only a number that names no file (a name
// that is no number is an input, missing or not). Operands after "--" are inputs.
bool SecondIsCode(const std::vector<std::string>& operands, std::size_t before_end) {
  if (before_end < 2 || operands.size() != before_end) return false;
  if (NamesAFile(operands[1])) return false;
  return operands.size() == 2 || IsNumber(operands[1]);
}

// The operands: inputs, and the genetic-code operand where there is one. `ignored_warning`
// tells of the operands after the genetic-code one, if any.
void TakeOperands(const std::vector<std::string>& operands, std::size_t before_end,
                  Options& options, std::string& ignored_warning) {
  if (SecondIsCode(operands, before_end)) {
    options.inputs.push_back(operands[0]);
    options.code_argument = operands[1];
    std::string list;
    for (std::size_t i = 2; i < operands.size(); ++i) {
      list += (list.empty() ? "'" : " '") + operands[i] + "'";
    }
    if (!list.empty()) ignored_warning = "arguments after the genetic code are not read: " + list;
    return;
  }
  options.inputs = operands;
  if (operands.size() >= 2 && IsVariantNumber(operands[1]) && NamesAFile(operands[1])) {
    options.warnings.push_back("'" + operands[1] +
                               "' is read as a file, since one of that name exists; give a "
                               "variant with --variant " +
                               operands[1]);
  }
}

}  // namespace

std::string AddColumnGroups(std::string_view text, TableLayout& groups) {
  std::string_view rest = text;
  for (;;) {
    const std::size_t comma = rest.find(',');
    const std::string_view name = rest.substr(0, comma);
    const auto named = NamedGroups();
    const auto found = std::find_if(named.begin(), named.end(),
                                    [&](const NamedGroup& group) { return group.name == name; });
    if (found == named.end()) {
      std::string names;
      for (const NamedGroup& group : named) {
        names += (names.empty() ? "" : ", ") + std::string(group.name);
      }
      return "--columns needs groups of columns from " + names + ", comma-separated, not '" +
             std::string(name) + "'";
    }
    groups.Add(found->group);
    if (comma == std::string_view::npos) return {};
    rest.remove_prefix(comma + 1);
  }
}

namespace {

std::string Validate(Options& options) {
  if (options.columns) {
    std::string problem = AddColumnGroups(*options.columns, options.column_groups);
    if (!problem.empty()) return problem;
  }
  if (options.threads) {
    const std::string& text = *options.threads;
    unsigned count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count == 0 ||
        count > kMaxThreads) {
      return "--threads needs a whole number from 1 to " + std::to_string(kMaxThreads) + ", not '" +
             text + "'";
    }
    options.thread_count = count;
  }
  if (options.min_codons) {
    const std::string& text = *options.min_codons;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), options.min_codon_count);
    if (error != std::errc() || end != text.data() + text.size()) {
      return "--min-codons needs a whole number, not '" + text + "'";
    }
  }
  if (options.progress && options.no_progress) {
    return "--progress and --no-progress cannot be given together";
  }
  if (options.output && options.no_reports) {
    return "--output and --no-reports cannot be given together";
  }
  if (options.output && options.output->empty()) return "--output needs a prefix, not ''";
  if (options.table && options.table->empty()) return "--table needs a file name, not ''";
  if (options.summary && options.summary->empty()) return "--summary needs a file name, not ''";
  if (options.codon_usage && options.codon_usage->empty()) {
    return "--codon-usage needs a file name, not ''";
  }
  if (options.reference && options.reference->empty()) {
    return "--reference needs a FASTA file or auto, not ''";
  }
  if (options.report && (options.report->empty() || *options.report == kStandardStream)) {
    return "--report needs a file name, not '" + *options.report + "'";
  }
  if (options.figures && (options.figures->empty() || *options.figures == kStandardStream)) {
    return "--figures needs a folder, not '" + *options.figures + "'";
  }
  // A name that promises a compressed format gets it, or is refused: never plain text.
  const std::pair<const char*, const std::optional<std::string>*> named_outputs[] = {
      {"--table", &options.table},
      {"--summary", &options.summary},
      {"--codon-usage", &options.codon_usage},
      {"--report", &options.report}};
  for (const auto& [option, name] : named_outputs) {
    if (!*name) continue;
    const std::string refusal = OutputNameRefusal(**name);
    if (!refusal.empty()) return std::string(option) + " '" + **name + "': " + refusal;
  }
  if (options.output) {
    std::error_code error;
    options.output_is_folder =
        options.output->back() == '/' ||
        std::filesystem::is_directory(std::filesystem::u8path(*options.output), error);
  }
  if (options.label && options.label->empty()) return "--label needs a name, not ''";
  if (options.background && options.background->empty()) {
    return "--background needs even, input or a file name, not ''";
  }
  if (options.coa) {
    static constexpr std::pair<std::string_view, CoaKind> kKinds[] = {
        {"codons", CoaKind::kCodons}, {"rscu", CoaKind::kRscu}, {"aa", CoaKind::kAminoAcids}};
    for (const auto& [name, kind] : kKinds) {
      if (*options.coa == name) options.coa_kind = kind;
    }
    if (!options.coa_kind) return "--coa needs codons, rscu or aa, not '" + *options.coa + "'";
  }
  return {};
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine result;
  Options& options = result.options;
  std::vector<std::string> operands;
  std::optional<std::size_t> before_end;  // operands before "--", once it is given
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (before_end || arg.size() < 2 || arg[0] != '-' || IsNegativeNumber(arg)) {
      operands.emplace_back(arg);  // "-" included
      continue;
    }
    const OptionSpec* matched = nullptr;
    std::optional<std::string_view> value;
    for (const OptionSpec& option : OptionTable()) {
      if (Matches(option, arg, value)) {
        matched = &option;
        break;
      }
    }
    if (matched == nullptr) {
      result.error = "unknown option: " + std::string(arg);
      const std::string_view meant = SuggestedOption(arg);
      if (!meant.empty()) result.error += " (did you mean " + std::string(meant) + "?)";
      return result;
    }
    if (matched->long_name == "--") {
      before_end = operands.size();
    } else if (matched->long_name == "--help" || matched->long_name == "--version") {
      options.action =
          matched->long_name == "--help" ? Options::Action::kHelp : Options::Action::kVersion;
      return result;
    } else if (matched->flag != nullptr) {
      options.*matched->flag = true;
    } else {
      if (!value) {
        if (i + 1 == argc) {
          result.error =
              "option " + std::string(arg) + " needs " + std::string(matched->value_name);
          return result;
        }
        value = argv[++i];
      }
      std::optional<std::string>& target = options.*matched->value;
      if (matched->output && target) {
        result.error = std::string(matched->long_name) + " is given twice ('" + *target +
                       "' and '" + std::string(*value) + "'): give it once";
        return result;
      }
      target = std::string(*value);
    }
  }
  std::string ignored_warning;
  TakeOperands(operands, before_end.value_or(operands.size()), options, ignored_warning);
  result.error = ChooseCode(options);
  if (!result.error.empty()) return result;
  if (!ignored_warning.empty()) options.warnings.push_back(ignored_warning);
  if (options.inputs.empty() && !options.infile_list) {
    result.error = "no file name given";
    return result;
  }
  result.error = Validate(options);
  return result;
}

std::vector<std::string> ListedInputs(std::string_view text) {
  std::vector<std::string> inputs;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) inputs.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return inputs;
}

bool ReadableOnce(const std::string& name) {
  std::error_code error;
  const auto status = std::filesystem::status(std::filesystem::u8path(name), error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

std::string CheckInputs(Options& options) {
  if (options.inputs.empty()) return "no file name given";
  std::size_t standard = 0;
  for (const std::string& input : options.inputs) standard += input == kStandardStream;
  if (standard > 1) return "standard input ('-') can be read only once";
  if (standard != 0 && options.infile_list == kStandardStream) {
    return "standard input cannot hold both the list of inputs and an input";
  }
  if (standard != 0 && !options.no_reports && !options.output) {
    return "reports cannot be written beside standard input: give -o PREFIX to name them, "
           "or --no-reports (with --table FILE)";
  }
  if (standard != 0 && options.output_is_folder && !options.label) {
    return "reports of standard input in a folder need a name: give --label NAME";
  }
  if (options.output && !options.output_is_folder && options.inputs.size() > 1) {
    return "-o PREFIX names the reports of one input: give a folder (-o DIR/) for " +
           std::to_string(options.inputs.size()) + " inputs";
  }
  if (options.background == kStandardStream) {
    if (standard != 0) return "standard input cannot hold both the background and an input";
    if (options.infile_list == kStandardStream) {
      return "standard input cannot hold both the list of inputs and the background";
    }
  }
  if (options.reference == kStandardStream) {
    if (standard != 0) return "standard input cannot hold both the reference set and an input";
    if (options.infile_list == kStandardStream || options.background == kStandardStream) {
      return std::string("standard input cannot hold both ") +
             (options.background == kStandardStream ? "the background" : "the list of inputs") +
             " and the reference set";
    }
  }
  if (options.optimal_codons == kStandardStream &&
      (standard != 0 || options.infile_list == kStandardStream ||
       options.background == kStandardStream || options.reference == kStandardStream)) {
    return "standard input cannot hold the optimal codons and another file";
  }
  if (options.trna == kStandardStream &&
      (standard != 0 || options.infile_list == kStandardStream ||
       options.background == kStandardStream || options.reference == kStandardStream ||
       options.optimal_codons == kStandardStream)) {
    return "standard input cannot hold the tRNA genes and another file";
  }
  if (options.optimal_codons && !options.reference) {
    return "--optimal-codons gives Fop's optimal codons: it needs --reference";
  }
  if (options.background == "input") {
    // A pipe, a FIFO or a device gives its text once: its second pass would see the rest.
    for (const std::string& input : options.inputs) {
      const bool once = input == kStandardStream || ReadableOnce(input);
      if (!once) continue;
      return "--background input reads the input twice, which " +
             (input == kStandardStream ? std::string(kStandardInputName)
                                       : "'" + input + "' (not a regular file)") +
             " cannot be: give a file, or a background file (--background FILE)";
    }
  }
  return {};
}

unsigned ThreadCount(const Options& options) {
  return options.thread_count != 0 ? options.thread_count : DefaultThreadCount();
}

TableLayout TableLayoutOf(const Options& options) {
  TableLayout layout = options.column_groups;
  const bool reference = options.reference.has_value();
  layout.Add(ColumnGroup::kFile, options.file_column || options.inputs.size() > 1)
      .Add(ColumnGroup::kCounts, options.counts)
      .Add(ColumnGroup::kDescription, options.description)
      .Add(ColumnGroup::kReference, reference)
      .Add(ColumnGroup::kCompositionReference, reference && layout.Has(ColumnGroup::kComposition))
      .Add(ColumnGroup::kLeftOut, options.cds_only || options.min_codons || options.gff)
      .Add(ColumnGroup::kTrna, options.trna.has_value())
      .Add(ColumnGroup::kCoa, options.coa_kind.has_value())
      .Add(ColumnGroup::kInputsCoa, options.coa_kind.has_value() && options.inputs.size() >= 3);
  return layout;
}

}  // namespace trelba
