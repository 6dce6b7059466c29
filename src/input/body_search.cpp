#include "input/body_search.hpp"

#include <bit>
#include <cstddef>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TRELBA_WIDE_SEARCH 1
#endif

namespace trelba {
namespace {

#ifdef TRELBA_WIDE_SEARCH

__attribute__((target("avx2,popcnt"))) bool SearchAvx2(const char* p, const char* const end,
                                                       const char*& stop,
                                                       std::uint64_t& line_feeds) {
  const __m256i header = _mm256_set1_epi8('>');
  const __m256i semicolon = _mm256_set1_epi8(';');
  const __m256i line_feed = _mm256_set1_epi8('\n');
  std::uint64_t feeds = 0;
  for (; end - p >= 32; p += 32) {
    const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const auto marks = static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_or_si256(_mm256_cmpeq_epi8(x, header), _mm256_cmpeq_epi8(x, semicolon))));
    const auto lines =
        static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, line_feed)));
    if (marks != 0) {
      const int first = std::countr_zero(marks);
      if (p[first] == ';') return false;
      stop = p + first;
      line_feeds = feeds + static_cast<unsigned>(std::popcount(lines & ((1u << first) - 1)));
      return true;
    }
    feeds += static_cast<unsigned>(std::popcount(lines));
  }
  for (; p != end && *p != '>'; ++p) {
    if (*p == ';') return false;
    feeds += *p == '\n';
  }
  stop = p;
  line_feeds = feeds;
  return true;
}

#endif

BodySearcher Choose() {
#ifdef TRELBA_WIDE_SEARCH
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt")) return SearchAvx2;
#endif
  return nullptr;
}

}  // namespace

const BodySearcher kBodySearcher = Choose();

}  // namespace trelba
