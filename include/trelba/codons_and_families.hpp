// The shared types of codons and families: codon indices and names, codon counts of one
// sequence, family numbers, names and letters, per-codon and per-family values, sequence
// numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "trelba/ieee_double.hpp"

namespace trelba {

// A codon index is 1 + 16*b1 + 4*b2 + b3 with the bases numbered T=0, C=1, A=2, G=3,
// so 1 is TTT, 36 is ATG and 64 is GGG. Index 0 names no codon.
inline constexpr int kCodonCount = 64;

// Number of times each codon was read in one sequence, by codon index. Element 0 counts
// the triples that held a letter other than a base; it belongs to no codon and is never
// reported.
using CodonCounts = std::array<std::uint64_t, kCodonCount + 1>;

// One double per codon index (element 0 unused): within-family frequencies and
// entropy terms.
using CodonValues = std::array<double, kCodonCount + 1>;

// Synonymous families are numbered 1 to 21; family 5 holds the stop codons.
inline constexpr int kFamilyCount = 21;
inline constexpr int kStopFamily = 5;

// The amino acid of each family, by family number (element 0 unused; family 5 "stop").
inline constexpr std::array<std::string_view, kFamilyCount + 1> kFamilyNames = {
    "",    "Phe", "Leu", "Ser", "Tyr", "stop", "Cys", "Trp", "Pro", "His", "Gln",
    "Arg", "Ile", "Met", "Thr", "Asn", "Lys",  "Val", "Ala", "Asp", "Glu", "Gly"};

// The one-letter amino acid of each family, as NCBI's translation tables write them ('*' for
// the stop family; element 0 unused).
inline constexpr std::string_view kFamilyLetters = "?FLSY*CWPHQRIMTNKVADEG";
static_assert(kFamilyLetters.size() == kFamilyCount + 1);

// The codon index of a codon's name in DNA letters ("TTT" is 1, "ATG" 36), 0 for anything else.
constexpr int CodonIndexOfName(std::string_view name) {
  constexpr std::string_view kBases = "TCAG";
  if (name.size() != 3) return 0;
  int index = 1;
  for (int i = 0, weight = 16; i < 3; ++i, weight /= 4) {
    const auto base = kBases.find(name[static_cast<std::size_t>(i)]);
    if (base == std::string_view::npos) return 0;
    index += weight * static_cast<int>(base);
  }
  return index;
}

// The name of a codon index (1 to 64) in DNA letters: "TTT" for 1.
inline std::string CodonName(int codon) {
  constexpr char kBases[] = "TCAG";
  const int i = codon - 1;
  return {kBases[i / 16], kBases[i / 4 % 4], kBases[i % 4]};
}

// One double per family number (element 0 unused): totals, composition, order values.
using FamilyValues = std::array<double, kFamilyCount + 1>;

// Sequences are numbered from 1 in input order; 0 stands for the codons read before the
// first header line, which belong to no sequence.
using SequenceNumber = std::uint64_t;

}  // namespace trelba
