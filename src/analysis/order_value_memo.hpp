// Order values kept by count vector: a family whose counts were seen before takes its
// order value, and its text, from a table instead of computing them again.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "codes/genetic_code.hpp"
#include "numeric/number_format.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// The order values of one sequence as FormatDouble spells them (reports/order_texts.hpp
// makes and copies them), by family number.
struct OrderTexts {
  std::array<std::array<char, kMaxNumberText>, kFamilyCount + 1> text{};  // element 0 unused
  std::array<std::uint8_t, kFamilyCount + 1> size{};
};

// Family totals, order values and their texts of a sequence, each family's kept by its
// count vector: short genes give the same few vectors again and again, and the same counts
// give the same value and text, so a value found here has the bits that OrderValues and
// FormatOrderValues would give it. A bounded table per family (one slot per vector's hash,
// the newest vector in it; 1,024 slots of 32 bytes, about 0.6 MB in all), allocated once;
// one per analysing thread.
class OrderValueMemo {
 public:
  // `code` must outlive the memo.
  explicit OrderValueMemo(const GeneticCode& code);

  // Where no codon is in two families, fills `totals` as WithinFamilyFrequencies does, and
  // `order` and `texts` as OrderValues and FormatOrderValues do, and returns true. False
  // for a code that shares codons between families, or for counts from 2^53 on: then what
  // was filled is to be made again the plain way.
  bool Fill(const CodonCounts& counts, FamilyValues& totals, FamilyValues& order,
            OrderTexts& texts);

 private:
  static constexpr unsigned kSlotBits = 10;
  static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
  static constexpr unsigned kMaxKeyMembers = 7;  // counts below 256 each, one byte apiece
  static constexpr std::size_t kTextRoom = 15;   // a slot of 32 bytes
  static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};  // no key is all ones
  struct Slot {
    std::uint64_t key = kEmpty;
    double value = 0.0;
    std::array<char, kTextRoom> text{};
    std::uint8_t size = 0;
  };
  static_assert(sizeof(Slot) == 32, "two slots to a cache line");

  // Each family's key, total and slot (null: not looked up) as Fill makes them, and every
  // count and total ORed.
  struct Keys {
    std::array<std::uint64_t, kFamilyCount + 1> key;
    std::array<std::uint64_t, kFamilyCount + 1> total;
    std::array<Slot*, kFamilyCount + 1> slot;
    std::uint64_t high = 0;
  };
  template <unsigned kSize>
  void MakeKeys(const CodonCounts& counts, const std::uint8_t* families, unsigned n, Keys& keys);

  static constexpr unsigned kMaxGroupSize = 6;  // families of more codons are rare

  const GeneticCode& code_;
  bool usable_ = false;
  std::vector<Slot> slots_;  // kSlots for each family looked up
  // Families looked up (k is not 0, few enough codons for a key), and where their slots start.
  std::array<bool, kFamilyCount + 1> looked_up_{};
  std::array<std::size_t, kFamilyCount + 1> first_slot_{};
  // The families of each number of codons from 1 to kMaxGroupSize (element 0 unused), and
  // the others (no codon, or more).
  std::array<std::array<std::uint8_t, kFamilyCount>, kMaxGroupSize + 1> groups_{};
  std::array<unsigned, kMaxGroupSize + 1> group_counts_{};
  std::array<std::uint8_t, kFamilyCount> others_{};
  unsigned others_count_ = 0;
};

}  // namespace trelba
