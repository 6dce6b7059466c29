// Entropy terms of count / total for small family totals, looked up instead of computed.
#pragma once

#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace trelba {

// Largest family total whose entropy terms are looked up. The table holds one double per
// (count, total) pair with count <= total, about 4 MB of address space; an entry is
// computed the first time it is needed, so only the pages of totals that occur are ever
// touched.
inline constexpr std::uint64_t kEntropyTableMaxTotal = 1024;

inline constexpr std::size_t kEntropyTableSize =
    (kEntropyTableMaxTotal + 1) * (kEntropyTableMaxTotal + 2) / 2;

namespace entropy_table_detail {

// Row `total` starts at total * (total + 1) / 2 and holds counts 0 to total. An entry whose
// bits are all zero has not been computed yet; for count 0 that is already the right
// value (+0.0), and no other entry is +0.0 (count == total gives -0.0).
extern double terms[kEntropyTableSize];

double ComputeEntry(std::uint64_t count, std::uint64_t total, double& entry);

}  // namespace entropy_table_detail

// EntropyTerm(double(count) / double(total)), bit for bit, for 1 <= total <=
// kEntropyTableMaxTotal and count <= total; also EntropyTerm(0.0) for count = total = 0.
// Entries are read and written as relaxed atomics, so threads may share the table.
inline double TabulatedEntropyTerm(std::uint64_t count, std::uint64_t total) {
  using entropy_table_detail::terms;
  double& entry = terms[total * (total + 1) / 2 + count];
  const double value = std::atomic_ref<double>(entry).load(std::memory_order_relaxed);
  if (std::bit_cast<std::uint64_t>(value) != 0 || count == 0) return value;
  return entropy_table_detail::ComputeEntry(count, total, entry);
}

}  // namespace trelba
