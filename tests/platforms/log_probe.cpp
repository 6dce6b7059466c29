// Prints one hash of the bits of std::log(c / t) for every 1 <= c <= t <= 2000: the kind
// of within-family frequency the analysis takes logarithms of. Two maths libraries, or
// two code paths of one, that round any of these logarithms differently print different
// hashes. Built and run by tests/platforms/compare-without-fma.sh.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

int main() {
  constexpr unsigned kLargestTotal = 2000;
  std::uint64_t hash = 14695981039346656037ULL;  // FNV-1a over whole 64-bit words
  for (unsigned total = 1; total <= kLargestTotal; ++total) {
    for (unsigned count = 1; count <= total; ++count) {
      const double value = std::log(static_cast<double>(count) / static_cast<double>(total));
      std::uint64_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      hash = (hash ^ bits) * 1099511628211ULL;
    }
  }
  std::printf("%016llx\n", static_cast<unsigned long long>(hash));
  return 0;
}
