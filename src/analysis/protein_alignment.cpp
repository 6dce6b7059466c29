#include "analysis/protein_alignment.hpp"

#include <algorithm>

#include "analysis/machinery_panel.hpp"

namespace trelba {

int LocalAlignmentScore(const std::uint8_t* a, std::size_t a_size, const std::uint8_t* b,
                        std::size_t b_size, std::int32_t* h, std::int32_t* e, std::ptrdiff_t offset,
                        std::ptrdiff_t band) {
  constexpr std::int32_t kOpen = kGapOpen + kGapExtend;  // the first residue of a gap
  constexpr std::int32_t kFloor = -(1 << 20);
  std::fill(h, h + b_size + 1, 0);
  std::fill(e, e + b_size + 1, kFloor);
  std::int32_t best = 0;
  const auto columns = static_cast<std::ptrdiff_t>(b_size);
  for (std::size_t i = 0; i < a_size; ++i) {
    const auto& row = kBlosum62[a[i]];
    // The band's columns (from 1); those right of it were never reached (H 0, E none), and
    // the column left of it holds the row above's value.
    const std::ptrdiff_t centre = static_cast<std::ptrdiff_t>(i) + offset;
    const std::ptrdiff_t lo = std::max<std::ptrdiff_t>(1, centre - band + 1);
    const std::ptrdiff_t hi = std::min<std::ptrdiff_t>(columns, centre + band + 1);
    if (lo > hi) continue;
    std::int32_t diagonal = h[lo - 1];  // H of the row above, one column left
    std::int32_t left = 0;              // H of this row, one column left
    std::int32_t f = kFloor;            // a gap along b ending here
    for (auto j = static_cast<std::size_t>(lo); j <= static_cast<std::size_t>(hi); ++j) {
      const std::int32_t up = h[j];
      e[j] = std::max(e[j] - kGapExtend, up - kOpen);
      f = std::max(f - kGapExtend, left - kOpen);
      const std::int32_t value = std::max(std::max(0, diagonal + row[b[j - 1]]), std::max(e[j], f));
      diagonal = up;
      h[j] = value;
      left = value;
      best = std::max(best, value);
    }
  }
  return best;
}

}  // namespace trelba
