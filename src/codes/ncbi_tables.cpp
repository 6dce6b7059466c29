#include "codes/ncbi_tables.hpp"

#include <array>
#include <stdexcept>

namespace trelba {
namespace {

struct NcbiTable {
  int number = 0;
  std::string_view name;
  // The amino acid of every codon in codon index order (TTT TTC TTA TTG TCT ... GGG), as
  // NCBI publishes it; '*' a stop. Where NCBI marks a codon both a stop and an amino acid
  // (tables 27, 28 and 31) this string names the amino acid, and the codon joins its family.
  std::string_view amino_acids;
};

constexpr std::array<NcbiTable, 27> kNcbiTables = {{
    {1, "Standard", "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {2, "Vertebrate Mitochondrial",
     "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNKKSS**VVVVAAAADDEEGGGG"},
    {3, "Yeast Mitochondrial", "FFLLSSSSYY**CCWWTTTTPPPPHHQQRRRRIIMMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {4,
     "Mold Mitochondrial; Protozoan Mitochondrial; Coelenterate Mitochondrial; Mycoplasma; "
     "Spiroplasma",
     "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {5, "Invertebrate Mitochondrial",
     "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNKKSSSSVVVVAAAADDEEGGGG"},
    {6, "Ciliate Nuclear; Dasycladacean Nuclear; Hexamita Nuclear",
     "FFLLSSSSYYQQCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {9, "Echinoderm Mitochondrial; Flatworm Mitochondrial",
     "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNNKSSSSVVVVAAAADDEEGGGG"},
    {10, "Euplotid Nuclear", "FFLLSSSSYY**CCCWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {11, "Bacterial, Archaeal and Plant Plastid",
     "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {12, "Alternative Yeast Nuclear",
     "FFLLSSSSYY**CC*WLLLSPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {13, "Ascidian Mitochondrial",
     "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNKKSSGGVVVVAAAADDEEGGGG"},
    {14, "Alternative Flatworm Mitochondrial",
     "FFLLSSSSYYY*CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNNKSSSSVVVVAAAADDEEGGGG"},
    {15, "Blepharisma Macronuclear",
     "FFLLSSSSYY*QCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {16, "Chlorophycean Mitochondrial",
     "FFLLSSSSYY*LCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {21, "Trematode Mitochondrial",
     "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIMMTTTTNNNKSSSSVVVVAAAADDEEGGGG"},
    {22, "Scenedesmus obliquus Mitochondrial",
     "FFLLSS*SYY*LCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {23, "Thraustochytrium Mitochondrial",
     "FF*LSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {24, "Rhabdopleuridae Mitochondrial",
     "FFLLSSSSYY**CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSSKVVVVAAAADDEEGGGG"},
    {25, "Candidate Division SR1 and Gracilibacteria",
     "FFLLSSSSYY**CCGWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {26, "Pachysolen tannophilus Nuclear",
     "FFLLSSSSYY**CC*WLLLAPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {27, "Karyorelict Nuclear", "FFLLSSSSYYQQCCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {28, "Condylostoma Nuclear",
     "FFLLSSSSYYQQCCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {29, "Mesodinium Nuclear", "FFLLSSSSYYYYCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {30, "Peritrich Nuclear", "FFLLSSSSYYEECC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {31, "Blastocrithidia Nuclear",
     "FFLLSSSSYYEECCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {32, "Balanophoraceae Plastid",
     "FFLLSSSSYY*WCC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG"},
    {33, "Cephalodiscidae Mitochondrial",
     "FFLLSSSSYYY*CCWWLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSSKVVVVAAAADDEEGGGG"},
}};

constexpr std::array<int, kNcbiTables.size()> kNumbers = [] {
  std::array<int, kNcbiTables.size()> numbers{};
  for (std::size_t i = 0; i < kNcbiTables.size(); ++i) numbers[i] = kNcbiTables[i].number;
  return numbers;
}();

int FamilyOfLetter(char letter) {
  const auto at = kFamilyLetters.find(letter, 1);
  return at == std::string_view::npos ? 0 : static_cast<int>(at);
}

GeneticCode Build(const NcbiTable& table) {
  // A mistyped table: caught by the first test that runs.
  if (table.amino_acids.size() != kCodonCount) throw std::logic_error("an NCBI table's length");
  GeneticCode code;
  code.id = '\0';
  code.ncbi_table = table.number;
  code.amino_acid_table = table.number;
  // Codons are taken in ascending index, so every family's members ascend.
  for (int codon = 1; codon <= kCodonCount; ++codon) {
    const int f = FamilyOfLetter(table.amino_acids[static_cast<std::size_t>(codon - 1)]);
    if (f == 0) throw std::logic_error("an NCBI table's letter");
    Family& family = code.families[static_cast<std::size_t>(f)];
    family.members[family.size++] = static_cast<std::uint8_t>(codon);
  }
  CompleteGeneticCode(code);
  return code;
}

const std::array<GeneticCode, kNcbiTables.size()>& AllCodes() {
  static const auto codes = [] {
    std::array<GeneticCode, kNcbiTables.size()> all;
    for (std::size_t i = 0; i < kNcbiTables.size(); ++i) all[i] = Build(kNcbiTables[i]);
    return all;
  }();
  return codes;
}

// Position of `table` in kNcbiTables, or kNcbiTables.size() where it is not defined.
std::size_t Position(int table) {
  std::size_t i = 0;
  while (i < kNcbiTables.size() && kNcbiTables[i].number != table) ++i;
  return i;
}

}  // namespace

std::span<const int> NcbiTableNumbers() {
  return kNumbers;
}

const GeneticCode* NcbiGeneticCode(int table) {
  const std::size_t i = Position(table);
  return i < kNcbiTables.size() ? &AllCodes()[i] : nullptr;
}

std::string_view NcbiTableName(int table) {
  const std::size_t i = Position(table);
  return i < kNcbiTables.size() ? kNcbiTables[i].name : std::string_view();
}

}  // namespace trelba
