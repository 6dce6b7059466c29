#include "analysis/order_value_memo.hpp"

#include <cstring>

#include "analysis/order.hpp"

namespace trelba {

OrderValueMemo::OrderValueMemo(const GeneticCode& code) : code_(code) {
  usable_ = true;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) usable_ = usable_ && code.unshared[f];
  std::size_t slots = 0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const unsigned size = code.families[f].size;
    looked_up_[f] = code.divisor[f] != 0 && size <= kMaxKeyMembers;
    first_slot_[f] = slots;
    if (looked_up_[f]) slots += kSlots;
    if (size >= 1 && size <= kMaxGroupSize) {
      groups_[size][group_counts_[size]++] = static_cast<std::uint8_t>(f);
    } else {
      others_[others_count_++] = static_cast<std::uint8_t>(f);
    }
  }
  if (usable_) slots_.resize(slots);
}

// The keys of the families of one size, `kSize` codons each (0: each of its own size), a
// loop the compiler unrolls where the size is known.
template <unsigned kSize>
void OrderValueMemo::MakeKeys(const CodonCounts& counts, const std::uint8_t* families, unsigned n,
                              Keys& keys) {
  for (unsigned i = 0; i < n; ++i) {
    const std::size_t f = families[i];
    const Family& family = code_.families[f];
    const unsigned size = kSize != 0 ? kSize : family.size;
    std::uint64_t total = 0;
    std::uint64_t key = 0;
    std::uint64_t any = 0;  // every count ORed: below 256 when each fits its byte
    for (unsigned m = 0; m < size; ++m) {
      const std::uint64_t count = counts[family.members[m]];
      total += count;
      key = key << 8 | count;
      any |= count;
    }
    keys.high |= total | any;
    keys.key[f] = key;
    keys.total[f] = total;
    keys.slot[f] = nullptr;
    if (looked_up_[f] && any < 256) {
      keys.slot[f] = &slots_[first_slot_[f] + ((key * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits))];
      __builtin_prefetch(keys.slot[f]);
    }
  }
}

bool OrderValueMemo::Fill(const CodonCounts& counts, FamilyValues& totals, FamilyValues& order,
                          OrderTexts& texts) {
  if (!usable_) return false;
  // First every family's key and slot, each slot's line asked for at once: the lookups
  // then wait for memory side by side rather than one after another. Families go by size,
  // each family's counts in a loop of known length.
  Keys keys;  // elements 1 to kFamilyCount, each written before it is read
  MakeKeys<1>(counts, groups_[1].data(), group_counts_[1], keys);
  MakeKeys<2>(counts, groups_[2].data(), group_counts_[2], keys);
  MakeKeys<3>(counts, groups_[3].data(), group_counts_[3], keys);
  MakeKeys<4>(counts, groups_[4].data(), group_counts_[4], keys);
  MakeKeys<5>(counts, groups_[5].data(), group_counts_[5], keys);
  MakeKeys<6>(counts, groups_[6].data(), group_counts_[6], keys);
  MakeKeys<0>(counts, others_.data(), others_count_, keys);
  // A count or total of 2^53 or more (a bit from 53 up in one of them): not every double
  // total is exact.
  if (keys.high >> 53 != 0) return false;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const std::uint64_t total = keys.total[f];
    totals[f] = static_cast<double>(total);
    char* const text = texts.text[f].data();
    if (code_.divisor[f] == 0) {  // the stop family and one-codon families: 0 whatever the counts
      order[f] = 0.0;
      text[0] = '0';
      texts.size[f] = 1;
      continue;
    }
    Slot* const slot = keys.slot[f];
    if (slot == nullptr) {
      order[f] = UnsharedOrderValue(code_, f, counts, total);
      texts.size[f] = static_cast<std::uint8_t>(FormatDouble(text, order[f]) - text);
      continue;
    }
    if (slot->key != keys.key[f]) {
      const double value = UnsharedOrderValue(code_, f, counts, total);
      const auto size = static_cast<std::size_t>(FormatDouble(text, value) - text);
      order[f] = value;
      texts.size[f] = static_cast<std::uint8_t>(size);
      if (size > kTextRoom) continue;  // no order value is that long; kept out all the same
      slot->key = keys.key[f];
      slot->value = value;
      std::memcpy(slot->text.data(), text, kTextRoom);
      slot->size = static_cast<std::uint8_t>(size);
      continue;
    }
    order[f] = slot->value;
    std::memcpy(text, slot->text.data(), kTextRoom);
    texts.size[f] = slot->size;
  }
  totals[0] = 0.0;
  order[0] = 0.0;
  return true;
}

}  // namespace trelba
