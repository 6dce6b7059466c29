#include "codes/genetic_code.hpp"

#include <stdexcept>

#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

// Column "0": the standard genetic code. Members are listed in ascending codon index.
constexpr std::array<std::string_view, kFamilyCount + 1> kStandardFamilies = {
    "",
    /*  1 Phe  */ "TTT TTC",
    /*  2 Leu  */ "TTA TTG CTT CTC CTA CTG",
    /*  3 Ser  */ "TCT TCC TCA TCG AGT AGC",
    /*  4 Tyr  */ "TAT TAC",
    /*  5 stop */ "TAA TAG TGA",
    /*  6 Cys  */ "TGT TGC",
    /*  7 Trp  */ "TGG",
    /*  8 Pro  */ "CCT CCC CCA CCG",
    /*  9 His  */ "CAT CAC",
    /* 10 Gln  */ "CAA CAG",
    /* 11 Arg  */ "CGT CGC CGA CGG AGA AGG",
    /* 12 Ile  */ "ATT ATC ATA",
    /* 13 Met  */ "ATG",
    /* 14 Thr  */ "ACT ACC ACA ACG",
    /* 15 Asn  */ "AAT AAC",
    /* 16 Lys  */ "AAA AAG",
    /* 17 Val  */ "GTT GTC GTA GTG",
    /* 18 Ala  */ "GCT GCC GCA GCG",
    /* 19 Asp  */ "GAT GAC",
    /* 20 Glu  */ "GAA GAG",
    /* 21 Gly  */ "GGT GGC GGA GGG",
};

struct Departure {
  int family = 0;
  std::string_view members;
};

struct Variant {
  std::array<Departure, 7> departures;  // families that differ from the standard code
  std::string_view denominator;         // denominator families, in the order they are added
  int amino_acid_table;                 // the NCBI table of the organisms it is meant for
};

// Variants that add every family with a value in ascending order list none.
constexpr std::string_view kDenominatorAscending = "";

// Variants "0" to "7", each as its departures from the standard code.
const std::array<Variant, kGeneticCodeCount> kVariants = {{
    /* "0" */ {{}, kDenominatorAscending, 1},
    /* "1" */
    {{{{5, "TAA TAG"}, {7, "TGA TGG"}, {12, "ATT ATC"}, {13, "ATA ATG"}}},
     "1 2 3 4 6 8 9 10 11 12 14 15 16 17 18 19 20 21 13 7",
     2},
    /* "2" */
    {{{{2, "TTA TTG"}, {5, "TAA TAG AGA AGG"}, {7, "TGA TGG"}, {12, "ATT ATC"}, {13, "ATA ATG"}}},
     "1 2 3 4 6 8 9 10 11 12 14 15 16 17 18 19 20 21 13 7",
     3},
    /* "3" */
    {{{{5, "TAA TAG"}, {7, "TGA TGG"}}}, "1 2 3 4 6 8 9 10 11 12 14 15 16 17 18 19 20 21 7", 4},
    /* "4" */
    {{{{3, "TCT TCC TCA TCG AGT AGC AGA AGG"},
       {5, "TAA TAG"},
       {7, "TGA TGG"},
       {11, "CGT CGC CGA CGG"},
       {12, "ATT ATC"},
       {13, "ATA ATG"}}},
     "1 2 3 4 6 8 9 10 11 12 14 15 16 17 18 19 20 21 13 7",
     5},
    /* "5" */ {{{{5, "TGA"}, {10, "TAA TAG CAA CAG"}}}, kDenominatorAscending, 6},
    /* "6" */ {{{{5, "TAA TAG"}, {6, "TGT TGC TGA"}}}, kDenominatorAscending, 10},
    /* "7" */
    {{{{3, "TCT TCC TCA TCG AGT AGC AGA AGG"},
       {5, "TAA TAG"},
       {7, "TGA TGG"},
       {11, "CGT CGC CGA CGG"},
       {16, "AAG"},
       {19, "AAA GAT GAC"}}},
     "1 2 3 4 6 8 9 10 11 12 14 15 17 18 19 20 21 7",
     9},
}};

// Under every variant these enter their family's entropy with their frequency itself, not
// with an entropy term: TGG and ATG alone give -0.442695 in a two-codon family.
constexpr std::string_view kVariantExemptCodons = "TAA TAG TGA TGG ATG";

// Calls `each` with every space-separated word of `list`.
template <class Each>
void ForEachWord(std::string_view list, Each&& each) {
  while (!list.empty()) {
    const auto space = list.find(' ');
    each(list.substr(0, space));
    if (space == std::string_view::npos) break;
    list.remove_prefix(space + 1);
  }
}

Family ParseFamily(std::string_view members) {
  Family family;
  ForEachWord(members, [&](std::string_view codon) {
    const int index = CodonIndexOfName(codon);
    if (index < 1 || family.size == kMaxFamilySize ||
        (family.size != 0 && index <= family.members[family.size - 1u])) {
      // A mistyped table entry: caught by the first test that runs.
      throw std::logic_error("a family table names a codon wrongly");
    }
    family.members[family.size++] = static_cast<std::uint8_t>(index);
  });
  return family;
}

GeneticCode Build(int number) {
  const Variant& variant = kVariants[static_cast<std::size_t>(number)];
  GeneticCode code;
  code.id = static_cast<char>('0' + number);
  code.amino_acid_table = variant.amino_acid_table;
  for (int f = 1; f <= kFamilyCount; ++f) {
    code.families[static_cast<std::size_t>(f)] =
        ParseFamily(kStandardFamilies[static_cast<std::size_t>(f)]);
  }
  for (const Departure& departure : variant.departures) {
    if (departure.family != 0) {
      code.families[static_cast<std::size_t>(departure.family)] = ParseFamily(departure.members);
    }
  }
  ForEachWord(variant.denominator, [&](std::string_view word) {
    int family = 0;
    for (const char digit : word) family = family * 10 + (digit - '0');
    if (family < 1 || family > kFamilyCount || family == kStopFamily) {
      throw std::logic_error("a variant's denominator names no family");
    }
    code.denominator[code.denominator_size++] = static_cast<std::uint8_t>(family);
  });
  const Family exempt = ParseFamily(kVariantExemptCodons);
  for (unsigned m = 0; m < exempt.size; ++m) code.exempt[exempt.members[m]] = true;
  CompleteGeneticCode(code);
  return code;
}

const std::array<GeneticCode, kGeneticCodeCount>& AllCodes() {
  static const auto codes = [] {
    std::array<GeneticCode, kGeneticCodeCount> all;
    for (int n = 0; n < kGeneticCodeCount; ++n) all[static_cast<std::size_t>(n)] = Build(n);
    return all;
  }();
  return codes;
}

}  // namespace

void CompleteGeneticCode(GeneticCode& code) {
  std::array<std::uint8_t, kCodonCount + 1> memberships{};
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    for (unsigned m = 0; m < family.size; ++m) ++memberships[family.members[m]];
  }
  const bool denominator_given = code.denominator_size != 0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code.families[f];
    const bool has_value = f != kStopFamily && family.size >= 2;
    code.divisor[f] = has_value ? family.size : 0;
    code.log_divisor[f] = has_value ? NaturalLog(static_cast<double>(family.size)) : 0.0;
    if (has_value && !denominator_given) {
      code.denominator[code.denominator_size++] = static_cast<std::uint8_t>(f);
    }
    code.unshared[f] = true;
    for (unsigned m = 0; m < family.size; ++m) {
      const std::uint8_t codon = family.members[m];
      code.unshared[f] = code.unshared[f] && memberships[codon] == 1;
      if (f == kStopFamily) code.stop[codon] = memberships[codon] == 1;
    }
  }
}

const GeneticCode& GeneticCodeNumber(int number) {
  return AllCodes()[static_cast<std::size_t>(number)];
}

const GeneticCode& SelectGeneticCode(std::string_view id) {
  if (id.size() == 1 && id[0] >= '1' && id[0] <= '7') return GeneticCodeNumber(id[0] - '0');
  return GeneticCodeNumber(0);
}

}  // namespace trelba
