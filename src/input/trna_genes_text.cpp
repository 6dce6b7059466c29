#include "input/trna_genes_text.hpp"

#include <algorithm>
#include <vector>

#include "input/codon_index.hpp"

namespace trelba {
namespace {

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string_view Trimmed(std::string_view field) {
  while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
  return field;
}

char Complement(char base) {
  switch (base) {
    case 'A':
    case 'a':
      return 'T';
    case 'C':
    case 'c':
      return 'G';
    case 'G':
    case 'g':
      return 'C';
    case 'T':
    case 't':
    case 'U':
    case 'u':
      return 'A';
    default:
      return 'N';
  }
}

// Adds the gene of anticodon `anticodon` (5' to 3'); false when it is not three bases.
bool AddAnticodon(std::string_view anticodon, TrnaGenes& genes) {
  if (anticodon.size() != 3) return false;
  const int codon =
      CodonIndex(Complement(anticodon[2]), Complement(anticodon[1]), Complement(anticodon[0]));
  if (codon <= 0) return false;
  ++genes.reading[static_cast<std::size_t>(codon)];
  ++genes.genes;
  return true;
}

bool HasPseudo(std::string_view field) {
  for (std::size_t i = 0; i + 6 <= field.size(); ++i) {
    std::string lower(field.substr(i, 6));
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (lower == "pseudo") return true;
  }
  return false;
}

void ReadTrnascan(const std::vector<std::string_view>& lines, std::size_t first, TrnaGenes& genes) {
  for (std::size_t n = first; n < lines.size(); ++n) {
    std::vector<std::string_view> fields;
    std::string_view rest = lines[n];
    for (;;) {
      const std::size_t tab = rest.find('\t');
      fields.push_back(Trimmed(rest.substr(0, tab)));
      if (tab == std::string_view::npos) break;
      rest.remove_prefix(tab + 1);
    }
    if (fields.size() < 6) continue;
    bool pseudo = fields[4] == "Pseudo" || fields[4] == "Undet";
    for (std::size_t f = 6; f < fields.size(); ++f) pseudo = pseudo || HasPseudo(fields[f]);
    if (!pseudo) AddAnticodon(fields[5], genes);
  }
}

// A gene's line: "tRNA-Xxx(abc)" alone (the default output), or its number, then
// "tRNA-Xxx", its place and "(abc)" (-w); notes such as "Overlap with 51: tRNA-..." are not.
void ReadAragorn(const std::vector<std::string_view>& lines, TrnaGenes& genes) {
  for (std::string_view line : lines) {
    line = Trimmed(line);
    const std::size_t first_end = std::min(line.find_first_of(" \t"), line.size());
    std::string_view word = line.substr(0, first_end);
    if (!word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos) {
      line = Trimmed(line.substr(first_end));
      word = line.substr(0, std::min(line.find_first_of(" \t"), line.size()));
    }
    if (word.substr(0, 5) != "tRNA-") continue;
    const std::size_t open = line.rfind('(');
    if (open == std::string_view::npos || open + 4 >= line.size() || line[open + 4] != ')') {
      continue;
    }
    AddAnticodon(line.substr(open + 1, 3), genes);
  }
}

}  // namespace

std::optional<std::string> ReadTrnaGenes(std::string_view text, TrnaGenes& genes) {
  genes = TrnaGenes{};
  const std::vector<std::string_view> lines = Lines(text);
  // tRNAscan-SE: "Sequence ... tRNA", "Name ...", "--------" before the genes.
  for (std::size_t n = 0; n + 2 < lines.size(); ++n) {
    if (lines[n].substr(0, 8) == "Sequence" && lines[n + 1].substr(0, 4) == "Name" &&
        lines[n + 2].substr(0, 8) == "--------") {
      genes.trnascan = true;
      ReadTrnascan(lines, n + 3, genes);
      break;
    }
  }
  if (!genes.trnascan) ReadAragorn(lines, genes);
  if (genes.genes == 0) {
    return "no tRNA gene with an anticodon found in it (tRNAscan-SE's tabular output or "
           "ARAGORN's)";
  }
  return std::nullopt;
}

}  // namespace trelba
