#include "reports/order_texts.hpp"

#include "analysis/order.hpp"

namespace trelba {

void FormatOrderValues(const FamilyValues& order, OrderTexts& texts) {
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    char* const begin = texts.text[f].data();
    texts.size[f] = static_cast<std::uint8_t>(FormatDouble(begin, order[f]) - begin);
  }
}

OrderMemo::OrderMemo(const GeneticCode& code) : code_(code) {
  usable_ = true;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) usable_ = usable_ && code.unshared[f];
  if (usable_) slots_.resize((kFamilyCount + 1) * kSlots);
}

bool OrderMemo::Fill(const CodonCounts& counts, FamilyValues& totals, FamilyValues& order,
                     OrderTexts& texts) {
  if (!usable_) return false;
  constexpr std::uint64_t kExactTotal = std::uint64_t{1} << 53;
  // First every family's key and slot, each slot's line asked for at once: the lookups
  // then wait for memory side by side rather than one after another.
  // Elements 1 to kFamilyCount, each written below before it is read.
  std::array<std::uint64_t, kFamilyCount + 1> keys;
  std::array<std::uint64_t, kFamilyCount + 1> family_totals;
  std::array<Slot*, kFamilyCount + 1> family_slots;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = code_.families[f];
    std::uint64_t total = 0;
    std::uint64_t key = 0;
    std::uint64_t any = 0;  // every count ORed: below 256 when each fits its byte
    const auto take = [&](unsigned m) {
      const std::uint64_t count = counts[family.members[m]];
      total += count;
      key = key << 8 | count;
      any |= count;
    };
    switch (family.size) {  // last member first, without a loop for the usual sizes
      case 6:
        take(5);
        [[fallthrough]];
      case 5:
        take(4);
        [[fallthrough]];
      case 4:
        take(3);
        [[fallthrough]];
      case 3:
        take(2);
        [[fallthrough]];
      case 2:
        take(1);
        [[fallthrough]];
      case 1:
        take(0);
        [[fallthrough]];
      case 0:
        break;
      default:
        for (unsigned m = family.size; m-- > 0;) take(m);
    }
    if (total > kExactTotal || any > kExactTotal) return false;
    keys[f] = key;
    family_totals[f] = total;
    family_slots[f] = nullptr;
    if (code_.divisor[f] != 0 && any < 256 && family.size <= kMaxKeyMembers) {
      family_slots[f] = &slots_[f * kSlots + ((key * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits))];
      __builtin_prefetch(family_slots[f]);
    }
  }
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const std::uint64_t total = family_totals[f];
    totals[f] = static_cast<double>(total);
    char* const text = texts.text[f].data();
    if (code_.divisor[f] == 0) {  // the stop family and one-codon families: 0 whatever the counts
      order[f] = 0.0;
      text[0] = '0';
      texts.size[f] = 1;
      continue;
    }
    Slot* const slot = family_slots[f];
    if (slot == nullptr) {
      order[f] = UnsharedOrderValue(code_, f, counts, total);
      texts.size[f] = static_cast<std::uint8_t>(FormatDouble(text, order[f]) - text);
      continue;
    }
    if (slot->key != keys[f]) {
      const double value = UnsharedOrderValue(code_, f, counts, total);
      const auto size = static_cast<std::size_t>(FormatDouble(text, value) - text);
      order[f] = value;
      texts.size[f] = static_cast<std::uint8_t>(size);
      if (size > kTextRoom) continue;  // no order value is that long; kept out all the same
      slot->key = keys[f];
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
