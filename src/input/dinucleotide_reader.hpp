// Counting the pairs of adjacent bases of one sequence's body by where the pair stands in
// the reading frame: its first letter at a codon's first place (1-2), second (2-3) or third
// (3-1: the last base of a codon and the first of the next).
//
// The frame is the codon reader's (codon_reader.hpp): whitespace is skipped and every other
// byte takes a place. A pair holding a letter that is no base (N, U, '-') counts nothing;
// the letters of an incomplete last codon count.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "input/codon_index.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// By frame (0: 1-2, 1: 2-3, 2: 3-1), the pairs of bases x y at 4 x + y, the bases numbered
// T=0, C=1, A=2, G=3.
using DinucleotideCounts = std::array<std::array<std::uint64_t, 16>, 3>;

// A body that arrives in pieces of any size (one too long to keep whole).
struct DinucleotideReader {
  // Runs of whole codons of bases are read a codon at a time: their codons are counted in
  // `codons` (whose pairs at 1-2 and 2-3 PairsRead adds) and the pairs between them in
  // `pairs`; the rest letter by letter, every pair in `pairs`.
  DinucleotideCounts pairs{};
  CodonCounts codons{};
  unsigned previous = kNotBase;  // the last letter's class; kNotBase before the first
  unsigned place = 2;            // the last letter's place in its codon (0 to 2)
};

void CountDinucleotides(DinucleotideReader& reader, const char* data, std::size_t size);

// Every pair the reader has read.
DinucleotideCounts PairsRead(const DinucleotideReader& reader);

// The pairs of a whole body whose codons the codon reader counted as `counts`. Where no
// triple holds a letter that is no base (counts[0] is 0), the pairs inside codons come
// from `counts` and only those between codons are read, eight bytes at a time.
DinucleotideCounts PairsOfBody(const char* data, std::size_t size, const CodonCounts& counts);

}  // namespace trelba
