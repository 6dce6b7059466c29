// The library's entry points for other programs (the Python module and the R package among
// them): the table of results of files, or of FASTA text in memory, as `Trelba -T` writes
// it, as text or cell by cell. The text is made by the very code that writes the command
// line's table, byte for byte; the cells are that text read back. The library writes to
// no stream of the process: its warnings go to the caller's hooks, its errors are thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace trelba {

// The command line's options that shape the table; an empty optional is an option not given.
struct TableSettings {
  std::optional<std::string> variant;     // --variant N
  std::optional<std::string> gcode;       // --gcode N
  std::optional<std::string> background;  // --background B: even, input or a FASTA file
  std::optional<std::string> threads;     // --threads N; none: one per core
  std::optional<std::string> reference;   // --reference FILE: a FASTA file, or auto
  bool file_column = false;               // --file-column (always so with several files)
  bool counts = false;                    // --counts
  bool description = false;               // --description
  std::optional<std::string> columns;     // --columns GROUPS: "composition,dinucleotides,rscu,aa"
  std::optional<std::string> coa;         // --coa KIND: codons, rscu or aa
  std::optional<std::string> gff;         // --gff FILE: each input is the genome FILE annotates
  std::optional<std::string> trna;        // --trna FILE: tRNAscan-SE's or ARAGORN's output
  std::optional<std::string> optimal_codons;  // --optimal-codons FILE (with a reference)
  std::optional<std::string> min_codons;      // --min-codons N
  bool cds_only = false;                      // --cds-only
  bool skip_first_codon = false;              // --skip-first-codon
};

// What the library tells its caller while it works, always on the calling thread.
struct CallerHooks {
  // Each warning line, as the command line prints it after "Warning: "; unset: dropped.
  std::function<void(std::string_view)> warning;
  // Asked between blocks of input, and when opening or reading is cut short by a signal
  // (a FIFO without a writer waits in open; then with `signal_arrived`): true stops the
  // work, which then throws Interrupted. It must be cheap unless a signal arrived. Unset:
  // never stops.
  std::function<bool(bool signal_arrived)> interrupted;
};

// What went wrong, in the words of the command line's error line ("Error opening file:
// genes.fa", "--gcode needs ..."), with what a caller needs to tell the kinds apart.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& what, std::string file = {}, int system_error = 0,
                 std::string option = {})
      : std::runtime_error(what),
        file_(std::move(file)),
        system_error_(system_error),
        option_(std::move(option)) {}

  // The file that could not be opened or read, as the caller named it; empty for none.
  const std::string& file() const { return file_; }
  // Why a file could not be opened (errno: ENOENT, EACCES, EISDIR, ...), ENOMEM when memory
  // ran out; 0 otherwise.
  int system_error() const { return system_error_; }
  // The option of the setting refused ("--variant", "--gcode", "--background",
  // "--threads", "--coa", ...); empty when the error is no setting's.
  const std::string& option() const { return option_; }

 private:
  std::string file_;
  int system_error_;
  std::string option_;
};

// The caller's hook `interrupted` said stop.
class Interrupted : public Error {
 public:
  Interrupted() : Error("interrupted") {}
};

// What a column of the table holds: text (file, id, description), whole numbers (seq,
// codons, internal_stops, partial, the counts) or numbers ("NA" where there is none).
enum class ColumnKind { kText, kWholeNumber, kNumber };

struct Column {
  std::string name;
  ColumnKind kind;
};

// Takes the table as it is made: its columns once, then every cell, row by row and in
// column order, read back from the table's text (a text as written, its quotes undone; a
// number as `strtod` reads it). Called on the library's threads, one call at a time; the
// calls must not throw but std::bad_alloc, which fails the input as memory running out.
class TableReceiver {
 public:
  virtual ~TableReceiver() = default;
  virtual void Columns(const std::vector<Column>& columns) = 0;
  virtual void Text(std::size_t column, std::string_view text) = 0;
  virtual void WholeNumber(std::size_t column, std::int64_t value) = 0;
  virtual void Number(std::size_t column, double value) = 0;
  // "NA" in a column of numbers or whole numbers.
  virtual void Missing(std::size_t column) = 0;
};

// The table kept in vectors, column by column, as the library hands it over: numbers
// (NaN for NA), whole numbers (with `missing` marking NA once one is), texts one after
// another in `chars`, each ending at its entry of `ends`. The Python module and the R
// package turn these into their own arrays.
class ColumnVectors final : public TableReceiver {
 public:
  struct Vectors {
    Column column;
    std::vector<double> numbers;        // kNumber
    std::vector<std::int64_t> wholes;   // kWholeNumber
    std::vector<std::uint8_t> missing;  // kWholeNumber: 1 for NA; empty while none is
    std::string chars;                  // kText
    std::vector<std::size_t> ends;      // kText
  };

  void Columns(const std::vector<Column>& columns) override;
  void Text(std::size_t column, std::string_view text) override;
  void WholeNumber(std::size_t column, std::int64_t value) override;
  void Number(std::size_t column, double value) override;
  void Missing(std::size_t column) override;

  std::vector<Vectors> columns;
};

// One input: a file opened by its name, or a stream the caller reads for the library.
struct Input {
  // The file's name; for a stream, what names it in the file column and in messages.
  std::string name;
  // Set: the input is read through it instead of opened by name, on the calling thread.
  // It fills `buffer` with up to `capacity` bytes of the input as a file holds them
  // (compressed or not) and returns how many, 0 at the end, -1 when it failed (with
  // `errno` set, or 0); it may throw Interrupted. A stream is read once: the background
  // `input`, which reads each input twice, refuses it.
  std::function<std::ptrdiff_t(char* buffer, std::size_t capacity)> read;
};

// What `Trelba --no-reports -T - [settings] paths...` writes to standard output. Throws
// Error at the first file that cannot be read (where the command line would go on with
// the others) and for settings the command line refuses.
std::string TableOfFiles(const std::vector<std::string>& paths, const TableSettings& settings,
                         const CallerHooks& hooks = {});
// The same table, handed to `receiver` as it is made.
void TableOfFiles(const std::vector<std::string>& paths, const TableSettings& settings,
                  TableReceiver& receiver, const CallerHooks& hooks = {});

// The same of inputs that may be streams.
std::string TableOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                          const CallerHooks& hooks = {});
void TableOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                   TableReceiver& receiver, const CallerHooks& hooks = {});

// What `Trelba --no-reports --summary - [settings] inputs...` writes: a row for each input
// and the run's own. Throws Error for the first input that fails (where the command line
// writes its error row and goes on).
std::string SummaryOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                            const CallerHooks& hooks = {});
void SummaryOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                     TableReceiver& receiver, const CallerHooks& hooks = {});
// What `Trelba --no-reports --codon-usage - [settings] inputs...` writes.
std::string CodonUsageOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                               const CallerHooks& hooks = {});
void CodonUsageOfInputs(const std::vector<Input>& inputs, const TableSettings& settings,
                        TableReceiver& receiver, const CallerHooks& hooks = {});

// The table of FASTA text in memory, as if it were a file named `label` (which names it in
// the file column, when there is one, and in warnings). The background `input` is the
// text's own codons.
std::string TableOfText(std::string_view fasta, const TableSettings& settings,
                        std::string_view label = "-", const CallerHooks& hooks = {});
void TableOfText(std::string_view fasta, const TableSettings& settings, std::string_view label,
                 TableReceiver& receiver, const CallerHooks& hooks = {});

// The columns of the table of `files` inputs under `settings`.
std::vector<Column> TableColumns(const TableSettings& settings, std::size_t files = 1);

}  // namespace trelba
