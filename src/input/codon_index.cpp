#include "input/codon_index.hpp"

namespace trelba {
namespace {

constexpr std::array<std::uint8_t, 256> MakeByteClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (auto& c : classes) c = kNotBase;
  for (char ws : {' ', '\t', '\n', '\v', '\f', '\r'})
    classes[static_cast<unsigned char>(ws)] = kWhitespace;
  classes[static_cast<unsigned char>('>')] = kHeaderMark;
  classes['T'] = classes['t'] = kBaseT;
  classes['C'] = classes['c'] = kBaseC;
  classes['A'] = classes['a'] = kBaseA;
  classes['G'] = classes['g'] = kBaseG;
  return classes;
}

// A base's number times `weight`, plus `offset`; kNotCodonSum for any other byte.
constexpr std::array<std::uint16_t, 256> MakeCodonPart(unsigned weight, unsigned offset) {
  const std::array<std::uint8_t, 256> classes = MakeByteClasses();
  std::array<std::uint16_t, 256> part{};
  for (std::size_t b = 0; b < part.size(); ++b) {
    part[b] = static_cast<std::uint16_t>(classes[b] <= kBaseG ? classes[b] * weight + offset
                                                              : kNotCodonSum);
  }
  return part;
}

int ClassOf(char c) {
  return kByteClasses[static_cast<unsigned char>(c)];
}

}  // namespace

const std::array<std::uint8_t, 256> kByteClasses = MakeByteClasses();
const std::array<std::uint16_t, 256> kCodonFirst = MakeCodonPart(16, 0);
const std::array<std::uint16_t, 256> kCodonSecond = MakeCodonPart(4, 0);
const std::array<std::uint16_t, 256> kCodonThird = MakeCodonPart(1, 1);

int CodonIndex(char first, char second, char third) {
  if (first == '>' || second == '>' || third == '>') return kHeaderTriple;
  const int b1 = ClassOf(first);
  if (b1 > kBaseG) return kNotCodonFirst;
  const int b2 = ClassOf(second);
  const int b3 = ClassOf(third);
  if (b2 > kBaseG || b3 > kBaseG) return kNotCodon;
  return 1 + 16 * b1 + 4 * b2 + b3;
}

}  // namespace trelba
