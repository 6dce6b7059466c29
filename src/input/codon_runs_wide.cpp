// The wide readers of runs of codons: sixteen bytes at a time with SSE2 (every x86-64
// processor), thirty-two with AVX2 where the processor has it, chosen once when the program
// starts (per-function target attributes: the rest of the program keeps the baseline
// instruction set). Integer work only. Elsewhere the table reader of codon_runs.hpp serves.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "input/codon_runs.hpp"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define TRELBA_WIDE_RUNS 1
#endif

namespace trelba {
namespace {

// The part both widths share once the codon indices (less one) of a block are known:
// counts the `whole` codons whose three letters were all bases, then either goes on (all
// of the block's codons counted, or a blank where the next codon begins, skipped) or stops
// where the byte-by-byte reader must take over. Returns null to go on with `p` moved on.
template <unsigned kBlockCodons>
const unsigned char* CountBlock(const unsigned char*& p, const unsigned char* indices,
                                unsigned whole, std::uint64_t* counts) {
  std::uint64_t* const by_index = counts + 1;
  if (whole == kBlockCodons) {  // the usual case, unrolled
    for (unsigned k = 0; k < kBlockCodons; ++k) ++by_index[indices[3 * k]];
    p += 3 * kBlockCodons;
    return nullptr;
  }
  for (unsigned k = 0; k < whole; ++k) ++by_index[indices[3 * k]];
  p += 3 * whole;
  if (kByteClasses[*p] != kWhitespace) return p;
  ++p;
  return nullptr;
}

#ifdef TRELBA_WIDE_RUNS

const unsigned char* CountSse2(const unsigned char* p, const unsigned char* const end,
                               std::uint64_t* const counts) {
  constexpr unsigned kCodons = 5;  // in the 15 of 16 bytes that hold whole triples
  const __m128i lower = _mm_set1_epi8(0x20);
  const __m128i a = _mm_set1_epi8('a'), c = _mm_set1_epi8('c');
  const __m128i g = _mm_set1_epi8('g'), t = _mm_set1_epi8('t');
  alignas(16) unsigned char indices[16];
  while (end - p >= 16) {
    if (*p == '\n') {  // a line end where a codon would begin: no block for it
      ++p;
      continue;
    }
    const __m128i x = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), lower);
    const __m128i is_a = _mm_cmpeq_epi8(x, a), is_c = _mm_cmpeq_epi8(x, c);
    const __m128i is_g = _mm_cmpeq_epi8(x, g), is_t = _mm_cmpeq_epi8(x, t);
    const auto bases = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(is_a, is_c), _mm_or_si128(is_g, is_t))));
    // T=0, C=1, A=2, G=3.
    const __m128i base = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(is_c, _mm_set1_epi8(1)), _mm_and_si128(is_a, _mm_set1_epi8(2))),
        _mm_and_si128(is_g, _mm_set1_epi8(3)));
    // 16 b[i] + 4 b[i+1] + b[i+2] at every i; bases are below 4, so 16-bit shifts never
    // carry from one byte into the next.
    const __m128i index = _mm_add_epi8(
        _mm_add_epi8(_mm_slli_epi16(base, 4), _mm_slli_epi16(_mm_srli_si128(base, 1), 2)),
        _mm_srli_si128(base, 2));
    _mm_store_si128(reinterpret_cast<__m128i*>(indices), index);
    const auto first_other = static_cast<unsigned>(std::countr_zero(~bases | 0x8000u));
    if (const unsigned char* stop = CountBlock<kCodons>(p, indices, first_other / 3, counts)) {
      return stop;
    }
  }
  return CountCodonRuns(p, end, counts);
}

// By the low four bits of a lower-case letter: the base letter with those bits (0 where
// none has them: no lower-case letter is 0), and its number (T=0, C=1, A=2, G=3).
constexpr std::array<char, 16> kNibbleLetters = [] {
  std::array<char, 16> letters{};
  for (const char base : {'a', 'c', 'g', 't'}) letters[base & 0x0F] = base;
  return letters;
}();
constexpr std::array<char, 16> kNibbleBases = [] {
  std::array<char, 16> numbers{};
  numbers['t' & 0x0F] = 0;
  numbers['c' & 0x0F] = 1;
  numbers['a' & 0x0F] = 2;
  numbers['g' & 0x0F] = 3;
  return numbers;
}();

__attribute__((target("avx2"))) const unsigned char* CountAvx2(const unsigned char* p,
                                                               const unsigned char* const end,
                                                               std::uint64_t* const counts) {
  constexpr unsigned kCodons = 10;  // in the 30 of 32 bytes that hold whole triples
  const __m256i lower = _mm256_set1_epi8(0x20);
  const __m256i low_nibble = _mm256_set1_epi8(0x0F);
  const __m256i letters = _mm256_broadcastsi128_si256(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kNibbleLetters.data())));
  const __m256i numbers = _mm256_broadcastsi128_si256(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kNibbleBases.data())));
  alignas(32) unsigned char indices[32];
  while (end - p >= 32) {
    if (*p == '\n') {
      ++p;
      continue;
    }
    // Lower case, then each byte's low four bits looked up twice: the one letter a base
    // with those bits would be (a, c, g and t differ there), and its number.
    const __m256i x =
        _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), lower);
    const __m256i low_bits = _mm256_and_si256(x, low_nibble);
    const auto bases = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_shuffle_epi8(letters, low_bits), x)));
    const __m256i base = _mm256_shuffle_epi8(numbers, low_bits);
    // The bases one and two bytes on, across the two 16-byte lanes (zeros come in at the top).
    const __m256i high = _mm256_permute2x128_si256(base, base, 0x81);
    const __m256i next = _mm256_alignr_epi8(high, base, 1);
    const __m256i after = _mm256_alignr_epi8(high, base, 2);
    const __m256i index = _mm256_add_epi8(
        _mm256_add_epi8(_mm256_slli_epi16(base, 4), _mm256_slli_epi16(next, 2)), after);
    _mm256_store_si256(reinterpret_cast<__m256i*>(indices), index);
    const auto first_other =
        static_cast<unsigned>(std::countr_zero(~bases | std::uint32_t{1} << 30));
    if (const unsigned char* stop = CountBlock<kCodons>(p, indices, first_other / 3, counts)) {
      return stop;
    }
  }
  return CountCodonRuns(p, end, counts);
}

#endif

CodonRunReader Choose() {
#ifdef TRELBA_WIDE_RUNS
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return CountAvx2;
  return CountSse2;
#else
  return CountCodonRuns;
#endif
}

}  // namespace

const CodonRunReader kCodonRunReader = Choose();

CodonRunReader CodonRunReaderOf(CodonRunWidth width) {
#ifdef TRELBA_WIDE_RUNS
  switch (width) {
    case CodonRunWidth::kTable:
      return CountCodonRuns;
    case CodonRunWidth::kSse2:
      return CountSse2;
    case CodonRunWidth::kAvx2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2") ? CountAvx2 : nullptr;
  }
  return nullptr;
#else
  return width == CodonRunWidth::kTable ? CountCodonRuns : nullptr;
#endif
}

}  // namespace trelba
