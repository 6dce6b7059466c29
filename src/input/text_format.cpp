#include "input/text_format.hpp"

#include <algorithm>

namespace trelba {

TextFormat SniffTextFormat(std::string_view head, bool more) {
  const std::size_t start = head.find_first_not_of(" \t\r\n\v\f");
  if (start == std::string_view::npos) return more ? TextFormat::kUndecided : TextFormat::kFasta;
  head.remove_prefix(start);
  struct Mark {
    std::string_view text;
    TextFormat format;
  };
  constexpr Mark kMarks[] = {{"LOCUS ", TextFormat::kGenBank},
                             {"LOCUS\t", TextFormat::kGenBank},
                             {"ID   ", TextFormat::kEmbl},
                             {"##gff-version", TextFormat::kGff3}};
  // A GenBank release file begins with a title line ("GBVRL1.SEQ  Genetic Sequence Data
  // Bank") before its first record.
  if (head.substr(0, 2) == "GB") {
    const std::size_t end = head.find('\n');
    if (end == std::string_view::npos && more) return TextFormat::kUndecided;
    if (head.substr(0, end).find("Genetic Sequence Data Bank") != std::string_view::npos) {
      return TextFormat::kGenBank;
    }
  }
  for (const Mark& mark : kMarks) {
    const std::size_t n = std::min(head.size(), mark.text.size());
    if (head.substr(0, n) != mark.text.substr(0, n)) continue;
    if (n == mark.text.size()) return mark.format;
    if (more) return TextFormat::kUndecided;
  }
  return TextFormat::kFasta;
}

std::string_view NoSequenceKind(int first_byte, bool nul_bytes) {
  if (first_byte < 0) return "empty";
  if (nul_bytes) return "binary";
  return first_byte == '@' ? "fastq" : "text";
}

std::string_view TextFormatName(TextFormat format) {
  switch (format) {
    case TextFormat::kGenBank:
      return "GenBank";
    case TextFormat::kEmbl:
      return "EMBL";
    case TextFormat::kGff3:
      return "GFF3";
    default:
      return "FASTA";
  }
}

}  // namespace trelba
