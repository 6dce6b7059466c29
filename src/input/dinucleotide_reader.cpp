#include "input/dinucleotide_reader.hpp"

#include <bit>
#include <cstring>

#include "input/codon_runs.hpp"

namespace trelba {
namespace {

// Adds the pairs at 1-2 and 2-3 of `codons` codons of bases.
void AddPairsWithinCodons(const CodonCounts& codons, DinucleotideCounts& pairs) {
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::size_t i = c - 1;  // 16 b1 + 4 b2 + b3
    pairs[0][i / 4] += codons[c];
    pairs[1][i % 16] += codons[c];
  }
}

// Whether any of the first six of the eight bytes at `p` is whitespace (or another byte
// below '!'): the last two are set to 0xff, and the subtraction borrows into a byte's top
// bit only from a byte below 0x21.
bool AnyBlankInSix(const unsigned char* p) {
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  constexpr std::uint64_t kLastTwo =
      std::endian::native == std::endian::little ? 0xffff000000000000 : 0xffff;
  std::uint64_t x;
  std::memcpy(&x, p, sizeof x);
  x |= kLastTwo;
  return ((x - kOnes * 0x21) & ~x & kOnes * 0x80) != 0;
}

}  // namespace

void CountDinucleotides(DinucleotideReader& reader, const char* data, std::size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  unsigned previous = reader.previous;
  unsigned place = reader.place;
  std::uint64_t* const pairs = reader.pairs[0].data();
  std::uint64_t* const between = reader.pairs[2].data();
  std::uint64_t* const codons = reader.codons.data();
  while (p != end) {
    // A codon begins: whole codons of bases, and the blanks between them, a codon at a time.
    while (place == 2 && end - p >= 3) {
      const unsigned codon = CodonSum(p);
      if (codon >= kNotCodonSum) break;
      ++codons[codon];
      // Both bases: both classes below 4.
      if (previous < 4) ++between[4 * previous + (codon - 1) / 16];
      previous = (codon - 1) % 4;
      for (p += 3; p != end && kByteClasses[*p] == kWhitespace;) ++p;
    }
    if (p == end) break;
    const unsigned cls = kByteClasses[*p++];
    if (cls == kWhitespace) continue;
    if ((previous | cls) < 4) ++pairs[16 * place + 4 * previous + cls];
    previous = cls;
    place = place == 2 ? 0 : place + 1;
  }
  reader.previous = previous;
  reader.place = place;
}

DinucleotideCounts PairsRead(const DinucleotideReader& reader) {
  DinucleotideCounts pairs = reader.pairs;
  AddPairsWithinCodons(reader.codons, pairs);
  return pairs;
}

DinucleotideCounts PairsOfBody(const char* data, std::size_t size, const CodonCounts& counts) {
  if (counts[0] != 0) {
    DinucleotideReader reader;
    CountDinucleotides(reader, data, size);
    return PairsRead(reader);
  }
  // Every whole triple is a codon of bases: only the pairs between codons, and those of an
  // incomplete last codon, are read.
  DinucleotideCounts pairs{};
  AddPairsWithinCodons(counts, pairs);
  std::uint64_t* const between = pairs[2].data();
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const auto* const end = p + size;
  unsigned previous = kNotBase;  // the last letter's class
  unsigned first = kNotBase;     // the class of the first letter of the last codon begun
  unsigned place = 2;            // the last letter's place in its codon
  while (p != end) {
    // Two whole codons at a time while six bytes hold no blank (all bases, so).
    while (place == 2 && end - p >= 8 && !AnyBlankInSix(p)) {
      const unsigned a = kByteClasses[p[0]];
      if (previous < 4) ++between[4 * previous + a];
      ++between[4 * kByteClasses[p[2]] + kByteClasses[p[3]]];
      previous = kByteClasses[p[5]];
      p += 6;
    }
    const unsigned cls = kByteClasses[*p++];
    if (cls == kWhitespace) continue;
    if (place == 2) {
      if ((previous | cls) < 4) ++between[4 * previous + cls];
      first = cls;
    }
    previous = cls;
    place = place == 2 ? 0 : place + 1;
  }
  // An incomplete last codon of two letters: its pair at 1-2.
  if (place == 1 && (first | previous) < 4) ++pairs[0][4 * first + previous];
  return pairs;
}

}  // namespace trelba
