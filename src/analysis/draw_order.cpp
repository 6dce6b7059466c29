#include "analysis/draw_order.hpp"

namespace trelba {

DrawOrder FamilyDrawOrder(const GeneticCode& code, const Background& background,
                          std::size_t family) {
  DrawOrder order;
  const Family& members = code.families[family];
  double exempt = 0.0;
  for (unsigned m = 0; m < members.size; ++m) {
    const std::size_t codon = members.members[m];
    if (background.drawn[codon] && code.exempt[codon]) exempt += background.q[codon];
  }
  order.exempt_first = exempt > 0.0;
  if (order.exempt_first) order.q[order.size++] = exempt;
  for (unsigned m = 0; m < members.size; ++m) {
    const std::uint8_t codon = members.members[m];
    if (background.drawn[codon] && !code.exempt[codon] && background.q[codon] > 0.0) {
      order.codons[order.size] = codon;
      order.q[order.size++] = background.q[codon];
    }
  }
  if (order.size == 0) return order;
  const unsigned last = order.size - 1u;
  order.from[last] = order.q[last];
  for (unsigned i = last; i-- > 0;) order.from[i] = order.q[i] + order.from[i + 1];
  for (unsigned i = 0; i < order.size; ++i) order.share[i] = order.q[i] / order.from[i];
  return order;
}

}  // namespace trelba
