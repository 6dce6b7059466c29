// NaturalLog against MPFR on every fraction the analysis can form from counts up to 3000,
// and on a few million random doubles. Prints what it checked and the mismatches, and
// exits 1 on any mismatch.
//
// usage: check_natural_log [LARGEST_TOTAL [RANDOM_ARGUMENTS]]   (defaults 3000, 3000000)
//
// Every a / b and b / a with 1 <= a <= b <= LARGEST_TOTAL (the quotient as the analysis
// divides it), then RANDOM_ARGUMENTS doubles drawn with a fixed seed, a third each over
// the bit patterns of all positive doubles, uniform over (0, 8] and 1 + d for small d.
// Two threads share the work.
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "double_comparison.hpp"
#include "mpfr_log.hpp"
#include "numeric/natural_log.hpp"

namespace {

using trelba::testing_support::Tally;

void Check(double x, Tally& tally) {
  const double expected = trelba::testing_support::MpfrNaturalLog(x);
  const double actual = trelba::NaturalLog(x);
  if (tally.Mismatch(actual, expected, 20))
    std::printf("mismatch: ln %a = %a, NaturalLog %a\n", x, expected, actual);
}

// The fractions whose denominator b is congruent to `part` modulo `parts`.
Tally CheckFractions(int largest_total, int part, int parts) {
  Tally tally;
  for (int b = 1 + part; b <= largest_total; b += parts) {
    for (int a = 1; a <= b; ++a) {
      Check(static_cast<double>(a) / static_cast<double>(b), tally);
      if (a != b) Check(static_cast<double>(b) / static_cast<double>(a), tally);
    }
  }
  return tally;
}

Tally CheckRandom(std::uint64_t count, std::uint64_t seed) {
  Tally tally;
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::uint64_t> bits(1, 0x7fefffffffffffff);
  std::uniform_real_distribution<double> up_to_8(0.0, 8.0);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<std::uint64_t> scale(8, 52);
  for (std::uint64_t i = 0; i < count; ++i) {
    double x = 0.0;
    switch (i % 3) {
      case 0:
        x = std::bit_cast<double>(bits(random));
        break;
      case 1:
        do x = up_to_8(random);
        while (x == 0.0);
        break;
      default:
        x = 1.0 + unit(random) * std::bit_cast<double>((1023 - scale(random)) << 52);
        break;
    }
    Check(x, tally);
  }
  return tally;
}

}  // namespace

int main(int argc, char** argv) {
  const int largest_total = argc > 1 ? std::atoi(argv[1]) : 3000;
  const std::uint64_t random_count = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 3000000;
  const auto start = std::chrono::steady_clock::now();

  Tally fractions[2];
  Tally randoms[2];
  std::thread helper([&] {
    fractions[1] = CheckFractions(largest_total, 1, 2);
    randoms[1] = CheckRandom(random_count / 2, 2);
  });
  fractions[0] = CheckFractions(largest_total, 0, 2);
  randoms[0] = CheckRandom(random_count - random_count / 2, 1);
  helper.join();

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::uint64_t mismatches = fractions[0].mismatches + fractions[1].mismatches +
                                   randoms[0].mismatches + randoms[1].mismatches;
  std::printf("fractions a/b and b/a, 1 <= a <= b <= %d: %llu checked\n", largest_total,
              static_cast<unsigned long long>(fractions[0].checked + fractions[1].checked));
  std::printf("random doubles: %llu checked\n",
              static_cast<unsigned long long>(randoms[0].checked + randoms[1].checked));
  std::printf("mismatches with MPFR: %llu (%.1f s)\n", static_cast<unsigned long long>(mismatches),
              seconds);
  return mismatches == 0 ? 0 : 1;
}
