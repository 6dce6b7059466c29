// Prints every NCBI table as this program has built it, one line each:
// "<number>\t<64 letters>\t<name>", the letters being the one-letter amino acid of each
// codon's family (or '*' for the stop family) in codon index order TTT TTC ... GGG.
// The families are read back from the GeneticCode values, so the check against another
// copy of NCBI's tables covers their building as well as the strings.
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "codes/ncbi_tables.hpp"

namespace {

struct Letter {
  std::string_view name;
  char letter;
};

// The amino acids by three-letter name, as in kFamilyNames.
constexpr std::array<Letter, 21> kLetters = {
    {{"Ala", 'A'}, {"Arg", 'R'}, {"Asn", 'N'}, {"Asp", 'D'}, {"Cys", 'C'}, {"Gln", 'Q'},
     {"Glu", 'E'}, {"Gly", 'G'}, {"His", 'H'}, {"Ile", 'I'}, {"Leu", 'L'}, {"Lys", 'K'},
     {"Met", 'M'}, {"Phe", 'F'}, {"Pro", 'P'}, {"Ser", 'S'}, {"Thr", 'T'}, {"Trp", 'W'},
     {"Tyr", 'Y'}, {"Val", 'V'}, {"stop", '*'}}};

char LetterOf(std::string_view name) {
  for (const Letter& l : kLetters) {
    if (l.name == name) return l.letter;
  }
  return '?';
}

}  // namespace

int main() {
  for (const int number : trelba::NcbiTableNumbers()) {
    const trelba::GeneticCode& code = *trelba::NcbiGeneticCode(number);
    std::string letters(trelba::kCodonCount, '-');  // '-': in no family
    for (std::size_t f = 1; f <= trelba::kFamilyCount; ++f) {
      const trelba::Family& family = code.families[f];
      for (unsigned m = 0; m < family.size; ++m) {
        char& slot = letters[family.members[m] - 1u];
        slot = slot == '-' ? LetterOf(trelba::kFamilyNames[f]) : '+';  // '+': in two
      }
    }
    const std::string_view name = trelba::NcbiTableName(number);
    std::printf("%d\t%s\t%.*s\n", number, letters.c_str(), static_cast<int>(name.size()),
                name.data());
  }
  return 0;
}
