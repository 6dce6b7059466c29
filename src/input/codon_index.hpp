// Classifying input bytes and turning three letters into a codon index.
#pragma once

#include <array>
#include <cstdint>

namespace trelba {

// What one input byte is to the reader. The four bases carry their number (T=0, C=1,
// A=2, G=3) so that a codon index can be accumulated directly from the class.
enum ByteClass : std::uint8_t {
  kBaseT = 0,
  kBaseC = 1,
  kBaseA = 2,
  kBaseG = 3,
  kNotBase = 4,     // takes a place in the reading frame but is no base (N, U, -, digits...)
  kWhitespace = 5,  // space, tab, line feed, vertical tab, form feed, carriage return
  kHeaderMark = 6,  // '>'
};

// Class of every byte value, both letter cases alike.
extern const std::array<std::uint8_t, 256> kByteClasses;

// The codon index of three letters as one table entry per letter, added:
// kCodonFirst[a] + kCodonSecond[b] + kCodonThird[c] is the index (1..64) when all three
// are bases, and kNotCodonSum or more when any of them is not. Adding needs no test per
// letter, so whole runs of codons are read with one test per group.
inline constexpr unsigned kNotCodonSum = 0x100;
extern const std::array<std::uint16_t, 256> kCodonFirst;
extern const std::array<std::uint16_t, 256> kCodonSecond;
extern const std::array<std::uint16_t, 256> kCodonThird;

inline constexpr int kHeaderTriple = -1;
inline constexpr int kNotCodonFirst = -2;
inline constexpr int kNotCodon = 0;

// The codon index (1..64) of three letters in reading order; -1 when any of them is '>',
// -2 when the first is not a base, 0 when the second or third is not a base.
int CodonIndex(char first, char second, char third);

}  // namespace trelba
