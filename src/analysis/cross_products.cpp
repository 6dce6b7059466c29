#include "analysis/cross_products.hpp"

#include <cmath>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace trelba {
namespace {

// Four elements of a row of the matrix at a time: the matrix's rows and the gene rows are
// padded to a multiple of four (CrossStride), so no element is left for a loop of its own.
template <std::size_t kRows>
inline void AddRows(double* cross, std::size_t n, const double* const* shares,
                    const double* const* rows) {
  const std::size_t stride = CrossStride(n);
  for (std::size_t j = 0; j < n; ++j) {
    double s[kRows];
    bool any = false;
    for (std::size_t g = 0; g < kRows; ++g) {
      s[g] = shares[g][j];
      any = any || s[g] != 0.0;
    }
    if (!any) continue;
    double* const m = cross + j * stride;
    for (std::size_t k = 0; k <= j; k += 4) {
      for (std::size_t e = 0; e < 4; ++e) {
        double value = m[k + e];
        for (std::size_t g = 0; g < kRows; ++g) value = std::fma(s[g], rows[g][k + e], value);
        m[k + e] = value;
      }
    }
  }
}

void AddPlain(double* cross, std::size_t n, const double* const* shares, const double* const* rows,
              std::size_t count) {
  switch (count) {
    case 4:
      return AddRows<4>(cross, n, shares, rows);
    case 3:
      return AddRows<3>(cross, n, shares, rows);
    case 2:
      return AddRows<2>(cross, n, shares, rows);
    default:
      return AddRows<1>(cross, n, shares, rows);
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same fused operations in the same order, four elements to an instruction, two rows
// of the matrix at a time (they share the loads of the gene rows). The first of the two
// also takes the block past its end that the second needs: entries above the diagonal or
// in the padding, never read.
template <std::size_t kRows>
__attribute__((target("avx,fma"), always_inline)) inline void AddRowsFma(
    double* cross, std::size_t n, const double* const* shares, const double* const* rows) {
  const std::size_t stride = CrossStride(n);
  for (std::size_t j = 0; j < n; j += 2) {
    const bool second = j + 1 < n;
    __m256d s0[kRows], s1[kRows];
    bool any = false;
    for (std::size_t g = 0; g < kRows; ++g) {
      const double first_share = shares[g][j];
      const double second_share = second ? shares[g][j + 1] : 0.0;
      any = any || first_share != 0.0 || second_share != 0.0;
      s0[g] = _mm256_set1_pd(first_share);
      s1[g] = _mm256_set1_pd(second_share);
    }
    if (!any) continue;
    double* const m0 = cross + j * stride;
    double* const m1 = second ? m0 + stride : m0;
    const std::size_t end = second ? j + 1 : j;
    for (std::size_t k = 0; k <= end; k += 4) {
      __m256d value0 = _mm256_loadu_pd(m0 + k);
      __m256d value1 = _mm256_loadu_pd(m1 + k);
      for (std::size_t g = 0; g < kRows; ++g) {
        const __m256d row = _mm256_loadu_pd(rows[g] + k);
        value0 = _mm256_fmadd_pd(s0[g], row, value0);
        value1 = _mm256_fmadd_pd(s1[g], row, value1);
      }
      if (second) _mm256_storeu_pd(m1 + k, value1);
      _mm256_storeu_pd(m0 + k, value0);
    }
  }
}

__attribute__((target("avx,fma"))) void AddFma(double* cross, std::size_t n,
                                               const double* const* shares,
                                               const double* const* rows, std::size_t count) {
  switch (count) {
    case 4:
      return AddRowsFma<4>(cross, n, shares, rows);
    case 3:
      return AddRowsFma<3>(cross, n, shares, rows);
    case 2:
      return AddRowsFma<2>(cross, n, shares, rows);
    default:
      return AddRowsFma<1>(cross, n, shares, rows);
  }
}
#endif

CrossProductAdder Choose() {
#if defined(__x86_64__) && defined(__GNUC__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx") && __builtin_cpu_supports("fma")) return AddFma;
#endif
  return AddPlain;
}

}  // namespace

const CrossProductAdder kAddCrossProducts = Choose();
const CrossProductAdder kAddCrossProductsPlain = AddPlain;

}  // namespace trelba
