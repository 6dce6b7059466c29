#include "code_documentation.hpp"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

#include "codes/ncbi_tables.hpp"
#include "variant_notes.hpp"

namespace trelba {
namespace {

const Family& FamilyOf(const GeneticCode& code, int family) {
  return code.families[static_cast<std::size_t>(family)];
}

int Divisor(const GeneticCode& code, int family) {
  return code.divisor[static_cast<std::size_t>(family)];
}

// The family's codons, each marked '*' where it enters the family's sum with its
// frequency and the family has a value (so that the mark changes something).
std::string Members(const GeneticCode& code, int family) {
  const Family& members = FamilyOf(code, family);
  std::string text;
  for (unsigned m = 0; m < members.size; ++m) {
    if (m != 0) text += ' ';
    text += CodonName(members.members[m]);
    if (Divisor(code, family) != 0 && code.exempt[members.members[m]]) text += '*';
  }
  return text;
}

std::string_view AminoAcidOfLetter(char letter) {
  const auto family = kFamilyLetters.find(letter);
  return family == std::string_view::npos || family == 0 ? "?" : kFamilyNames[family];
}

// How variant `code` treats `codon`: "Arg", "stop", "both stop and Arg", "in no family".
std::string Treatment(const GeneticCode& code, int codon) {
  const std::vector<int> families = FamiliesOfCodon(code, codon);
  if (families.empty()) return "in no family";
  std::string text = families.size() > 1 ? "both " : "";
  for (std::size_t i = 0; i < families.size(); ++i) {
    if (i != 0) text += " and ";
    text += kFamilyNames[static_cast<std::size_t>(families[i])];
  }
  return text;
}

int FirstCodon(std::string_view codons) {
  for (int codon = 1; codon <= kCodonCount; ++codon) {
    if (codons.substr(0, 3) == CodonName(codon)) return codon;
  }
  return 0;
}

// One variant's entry for a family in the key, when it differs from variant 0.
std::string OtherVariants(int family, bool roff) {
  const GeneticCode& standard = GeneticCodeNumber(0);
  const std::string standard_cell =
      Members(standard, family) + "/" + std::to_string(Divisor(standard, family));
  std::vector<std::pair<std::string, std::string>> groups;  // (variants, cell)
  for (int n = 1; n < kGeneticCodeCount; ++n) {
    const GeneticCode& code = GeneticCodeNumber(n);
    const std::string cell = Members(code, family) + "/" + std::to_string(Divisor(code, family));
    if (cell == standard_cell) continue;
    bool grouped = false;
    for (auto& group : groups) {
      if (group.second == cell) {
        group.first += ", ";
        group.first += std::to_string(n);
        grouped = true;
      }
    }
    if (!grouped) groups.emplace_back(std::to_string(n), cell);
  }
  std::string text;
  for (const auto& [variants, cell] : groups) {
    const std::string members = cell.substr(0, cell.find('/'));
    const std::string k = cell.substr(cell.find('/') + 1);
    if (!text.empty()) text += roff ? ".\n" : "; ";
    text += (roff ? (variants.size() > 1 ? "Variants " : "Variant ") : "") + variants + ": ";
    text += roff ? members : "`" + members + "`";
    text += k == "0" ? ", always 0" : ", k = " + k;
  }
  return text;
}

}  // namespace

std::vector<int> FamiliesOfCodon(const GeneticCode& code, int codon) {
  std::vector<int> found;
  for (int f = 1; f <= kFamilyCount; ++f) {
    const Family& family = FamilyOf(code, f);
    for (unsigned m = 0; m < family.size; ++m) {
      if (family.members[m] == codon) found.push_back(f);
    }
  }
  return found;
}

std::string FamiliesNotFromEntropy(int number) {
  const GeneticCode& code = GeneticCodeNumber(number);
  std::string text;
  for (int f = 1; f <= kFamilyCount; ++f) {
    if (Divisor(code, f) == 0) continue;
    bool odd = false;
    const Family& family = FamilyOf(code, f);
    for (unsigned m = 0; m < family.size; ++m) {
      const int codon = family.members[m];
      odd = odd || code.exempt[static_cast<std::size_t>(codon)] ||
            FamiliesOfCodon(code, codon).front() < f;
    }
    if (odd)
      text += (text.empty() ? "" : ", ") + std::string(kFamilyNames[static_cast<std::size_t>(f)]);
  }
  return text;
}

std::string DifferencesFromNcbi(int number) {
  const VariantNote& note = kVariantNotes[static_cast<std::size_t>(number)];
  const GeneticCode& code = GeneticCodeNumber(number);
  std::string text;
  for (const CodonDifference& difference : note.differences) {
    if (difference.codons.empty()) continue;
    if (!text.empty()) text += "; ";
    text += std::string(difference.codons) + ": " + Treatment(code, FirstCodon(difference.codons)) +
            " here, " + std::string(AminoAcidOfLetter(difference.ncbi_amino_acid)) + " in table " +
            std::to_string(code.amino_acid_table);
  }
  if (text.empty()) text = "none";
  if (note.closer_table != 0) {
    text += " (table " + std::to_string(note.closer_table) + ", meant for other organisms, " +
            "is closer codon by codon: " + std::string(note.closer_difference.codons) + ": " +
            Treatment(code, FirstCodon(note.closer_difference.codons)) + " here, " +
            std::string(AminoAcidOfLetter(note.closer_difference.ncbi_amino_acid)) + " in table " +
            std::to_string(note.closer_table) + ")";
  }
  return text;
}

std::string VariantHelpLine(int number) {
  const VariantNote& note = kVariantNotes[static_cast<std::size_t>(number)];
  std::string except;
  for (const CodonDifference& difference : note.differences) {
    if (difference.codons.empty()) continue;
    except += ' ';
    except += difference.codons;
  }
  return "  " + std::to_string(number) + "  " + std::string(note.short_organisms) + " (NCBI " +
         std::to_string(GeneticCodeNumber(number).amino_acid_table) +
         (except.empty() ? "" : " except") + except + ")\n";
}

std::string VariantTableMarkdown() {
  std::string text =
      "| variant | meant for | their NCBI table | differences from that table | "
      "families whose value is not 1 - H/ln k |\n"
      "|---|---|---|---|---|\n";
  for (int n = 0; n < kGeneticCodeCount; ++n) {
    const VariantNote& note = kVariantNotes[static_cast<std::size_t>(n)];
    const std::string odd = FamiliesNotFromEntropy(n);
    text += "| " + std::to_string(n) + " | " + std::string(note.organisms) + " | " +
            std::to_string(GeneticCodeNumber(n).amino_acid_table) + " | " + DifferencesFromNcbi(n) +
            " | " + (odd.empty() ? "none" : odd) + " |\n";
  }
  return text;
}

std::string VariantTableRoff() {
  std::string text;
  for (int n = 0; n < kGeneticCodeCount; ++n) {
    const VariantNote& note = kVariantNotes[static_cast<std::size_t>(n)];
    const std::string odd = FamiliesNotFromEntropy(n);
    text += ".TP\n.B " + std::to_string(n) + "\n" + std::string(note.organisms) +
            ".\nTheir NCBI table: " + std::to_string(GeneticCodeNumber(n).amino_acid_table) +
            "; differences: " + DifferencesFromNcbi(n) + ".\n";
    if (!odd.empty()) text += "Values that are not 1 \\- H/ln k: " + odd + ".\n";
  }
  return text;
}

std::string FamilyKeyMarkdown() {
  const GeneticCode& standard = GeneticCodeNumber(0);
  std::string text =
      "| family | amino acid | codons (variant 0) | k | under other variants |\n"
      "|---:|---|---|---:|---|\n";
  for (int f = 1; f <= kFamilyCount; ++f) {
    const int k = Divisor(standard, f);
    const std::string others = OtherVariants(f, false);
    text += "| " + std::to_string(f) + " | " +
            std::string(kFamilyNames[static_cast<std::size_t>(f)]) + " | `" + Members(standard, f) +
            "` | " + (k == 0 ? "always 0" : std::to_string(k)) + " | " +
            (others.empty() ? "same" : others) + " |\n";
  }
  return text;
}

std::string FamilyKeyRoff() {
  const GeneticCode& standard = GeneticCodeNumber(0);
  std::string text;
  for (int f = 1; f <= kFamilyCount; ++f) {
    const int k = Divisor(standard, f);
    const std::string others = OtherVariants(f, true);
    text += ".TP 9n\n.B \"" + std::to_string(f) + "  " +
            std::string(kFamilyNames[static_cast<std::size_t>(f)]) + "\"\n" + Members(standard, f) +
            (k == 0 ? ", always 0" : ", k = " + std::to_string(k)) + ".\n" +
            (others.empty() ? "" : others + ".\n");
  }
  return text;
}

std::string NcbiDeparturesFromStandard(int table) {
  const GeneticCode& standard = *NcbiGeneticCode(1);
  const GeneticCode& code = *NcbiGeneticCode(table);
  // Codons that change family, grouped by the family they join, in order of first codon.
  std::vector<std::pair<int, std::string>> moves;
  for (int codon = 1; codon <= kCodonCount; ++codon) {
    const std::vector<int> now = FamiliesOfCodon(code, codon);
    if (now == FamiliesOfCodon(standard, codon)) continue;
    const int family = now.empty() ? 0 : now.front();
    auto group = std::find_if(moves.begin(), moves.end(),
                              [&](const auto& move) { return move.first == family; });
    if (group == moves.end()) {
      moves.emplace_back(family, CodonName(codon));
    } else {
      group->second += ' ';
      group->second += CodonName(codon);
    }
  }
  std::string text;
  for (const auto& [family, codons] : moves) {
    if (!text.empty()) text += "; ";
    text += codons;
    text += ": ";
    text += kFamilyNames[static_cast<std::size_t>(family)];
  }
  return text.empty() ? "none" : text;
}

std::string NcbiTablesMarkdown() {
  std::string text =
      "| --gcode | NCBI name | codons that change family from table 1 |\n"
      "|---:|---|---|\n";
  for (const int table : NcbiTableNumbers()) {
    text += "| " + std::to_string(table) + " | " + std::string(NcbiTableName(table)) + " | " +
            NcbiDeparturesFromStandard(table) + " |\n";
  }
  return text;
}

std::string NcbiTablesRoff() {
  std::string text;
  for (const int table : NcbiTableNumbers()) {
    text += ".TP 4n\n.B " + std::to_string(table) + "\n" + std::string(NcbiTableName(table)) +
            ": " + NcbiDeparturesFromStandard(table) + ".\n";
  }
  return text;
}

}  // namespace trelba
