#include "analysis/entropy_table.hpp"

#include "analysis/order.hpp"

namespace trelba::entropy_table_detail {

double terms[kEntropyTableSize];

double ComputeEntry(std::uint64_t count, std::uint64_t total, double& entry) {
  // The same division as the within-family frequencies, then the same expression.
  const double value = EntropyTerm(static_cast<double>(count) / static_cast<double>(total));
  std::atomic_ref<double>(entry).store(value, std::memory_order_relaxed);
  return value;
}

}  // namespace trelba::entropy_table_detail
