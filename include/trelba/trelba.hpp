// The library's entry points for other programs (the Python module among them): the table
// of results of files, or of FASTA text in memory, as `Trelba -T` writes it. The text is
// made by the very code that writes the command line's table, byte for byte.
#pragma once

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
  unsigned threads = 0;                   // --threads N; 0: one per core
  bool file_column = false;               // --file-column (always so with several files)
  bool counts = false;                    // --counts
  bool description = false;               // --description
};

// What went wrong, in the words of the command line's error line ("Error opening file:
// genes.fa", "--gcode needs ...").
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What `Trelba --no-reports -T - [settings] paths...` writes to standard output. Throws
// Error at the first file that cannot be read (where the command line would go on with
// the others) and for settings the command line refuses. Warnings go to standard error,
// as the command line's do.
std::string TableOfFiles(const std::vector<std::string>& paths, const TableSettings& settings);

// The table of FASTA text in memory, as if it were a file named `label` (which names it in
// the file column, when there is one). The background `input` is the text's own codons.
std::string TableOfText(std::string_view fasta, const TableSettings& settings,
                        std::string_view label = "-");

}  // namespace trelba
