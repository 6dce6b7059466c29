// The command line:
//
//   Trelba [options] FILE...
//   Trelba [options] FILE genetic_code_number
//
// Options may stand anywhere before "--", which ends them; "-" is standard input, and a
// negative number ("-1") is an operand, never an option. Options take their value as the
// next argument or joined ("--table=x.tsv", "-Tx.tsv"); given twice, the last wins, but an
// output named twice is an error. Of exactly two operands, the second is a genetic-code
// argument (a variant, as it always was) unless it names a file that exists; of more, only
// when it is a number that names no file; after "--", never. Otherwise every operand is an
// input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/correspondence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "reports/column_catalog.hpp"

namespace trelba {

class ByteSink;
class ByteSource;
class GffAnnotation;

// The file name that stands for standard input (or output).
inline constexpr std::string_view kStandardStream = "-";
// The --reference that finds each input's reference set in the input itself.
inline constexpr std::string_view kAutomaticReference = "auto";

// How messages name standard input.
inline constexpr std::string_view kStandardInputName = "standard input";

struct Options {
  enum class Action { kRun, kHelp, kVersion };
  Action action = Action::kRun;
  std::vector<std::string> inputs;            // kStandardStream for standard input
  std::optional<std::string> code_argument;   // the genetic-code operand, when given
  std::optional<std::string> variant;         // --variant
  std::optional<std::string> ncbi_table;      // --gcode
  std::optional<std::string> table;           // --table: kStandardStream for standard output
  std::optional<std::string> summary;         // --summary
  std::optional<std::string> report;          // --report: the HTML report
  std::optional<std::string> figures;         // --figures: the folder of the figure files
  std::optional<std::string> output;          // --output: a prefix, or a folder
  std::optional<std::string> threads;         // --threads
  std::optional<std::string> infile_list;     // --infile-list
  std::optional<std::string> label;           // --label: standard input's name in tables
  std::optional<std::string> background;      // --background
  std::optional<std::string> reference;       // --reference: a FASTA file, or kAutomaticReference
  std::optional<std::string> codon_usage;     // --codon-usage: kStandardStream for standard output
  std::optional<std::string> columns;         // --columns: groups of columns, comma-separated
  std::optional<std::string> gff;             // --gff: the GFF3 file that annotates each input
  std::optional<std::string> min_codons;      // --min-codons
  std::optional<std::string> optimal_codons;  // --optimal-codons: Fop's optimal codons
  std::optional<std::string> trna;            // --trna: the tRNA genes of the tai column
  std::optional<std::string> coa;             // --coa: codons, rscu or aa
  bool no_reports = false;                    // --no-reports
  bool file_column = false;                   // --file-column
  bool counts = false;                        // --counts
  bool description = false;                   // --description
  bool strict = false;                        // --strict
  bool sync = false;                          // --sync: reports written through to the disk
  bool cds_only = false;                      // --cds-only
  bool skip_first_codon = false;              // --skip-first-codon
  bool quiet = false;                         // --quiet: no warnings printed
  bool progress = false;                      // --progress
  bool no_progress = false;                   // --no-progress
  // Resolved by ParseCommandLine:
  const GeneticCode* code = nullptr;  // the genetic code the run uses
  std::vector<std::string> warnings;  // about the command line, printed before the run
  unsigned thread_count = 0;          // 0 when not given
  bool output_is_folder = false;      // --output names a folder (ends in '/' or is one)
  TableLayout column_groups;          // the groups --columns names
  std::uint64_t min_codon_count = 0;  // --min-codons
  std::optional<CoaKind> coa_kind;    // --coa
  // Set by the run: the CDS lines of --gff, read before the first input.
  GffAnnotation* annotation = nullptr;
  // Set by a library caller (api/): input i is read from sources[i] where it is not null,
  // and what goes to standard output ("-") goes to `standard_output` instead.
  std::vector<ByteSource*> sources;
  ByteSink* standard_output = nullptr;
};

struct CommandLine {
  Options options;
  std::string error;  // what is wrong with the command line; empty when nothing is
};

// Parses argv[1] to argv[argc - 1] (at least one argument). The inputs of --infile-list
// are the caller's to read and add; CheckInputs then checks them all.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// The inputs named one a line in `text` (the --infile-list file): blank lines skipped, a
// line's carriage return dropped.
std::vector<std::string> ListedInputs(std::string_view text);

// Whether `name` leads to something other than a regular file (a pipe, a FIFO, a device):
// what it gives can be read only once. A missing file fails when it is opened.
bool ReadableOnce(const std::string& name);

// Checks the inputs once the --infile-list ones are added: what is wrong, or empty.
std::string CheckInputs(Options& options);

// The workers that analyse: -j, or one per core.
unsigned ThreadCount(const Options& options);

// Adds the groups of columns `text` names ("composition,rscu", as --columns takes them) to
// `groups`: empty, or what is wrong.
std::string AddColumnGroups(std::string_view text, TableLayout& groups);

// The table's columns under `options` (a `file` column for several inputs or when asked).
TableLayout TableLayoutOf(const Options& options);

}  // namespace trelba
