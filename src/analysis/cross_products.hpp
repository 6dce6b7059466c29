// The step of a correspondence analysis that costs most: the cross products of every gene's
// row added to a matrix, m_jk = fma(s_j, r_k, m_jk) (k <= j) for each of up to four rows at
// once, the rows in order for each element. A fused multiply-add rounds once, as IEEE
// defines it, so it gives the same bits on every processor: 256-bit FMA instructions where
// the processor has them (chosen once when the program starts; every x86-64 processor
// since 2013, and ARM's own), else the C library's exact fma, one element at a time. Four
// rows a pass read and write the matrix once for all four.
#pragma once

#include <cstddef>

namespace trelba {

inline constexpr std::size_t kCrossRows = 4;

// The length of a matrix row and of a gene row of n columns: n rounded up to a multiple of
// four, the rest zeros in a gene row and never read in the matrix.
constexpr std::size_t CrossStride(std::size_t n) {
  return (n + 3) / 4 * 4;
}

// Adds `count` (1 to kCrossRows) rows to the lower triangle of the row-major matrix `cross`
// (n rows of CrossStride(n)): shares[g][j] * rows[g][k] for each row g in order. A j whose
// shares are all 0 is passed over (adding 0 leaves the sums of nonnegative products as they
// are).
using CrossProductAdder = void (*)(double* cross, std::size_t n, const double* const* shares,
                                   const double* const* rows, std::size_t count);

extern const CrossProductAdder kAddCrossProducts;
// The plain loop, for the tests that hold the chosen one to its bits.
extern const CrossProductAdder kAddCrossProductsPlain;

}  // namespace trelba
