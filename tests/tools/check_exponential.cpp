// Exponential against MPFR on millions of arguments of every kind. Prints what it checked
// and the mismatches, and exits 1 on any mismatch.
//
// usage: check_exponential [SCALE]   (default 1: about 14 million arguments)
//
// The kinds, each drawn with a fixed seed (SCALE multiplies every count): the logarithms
// of every count fraction a / b, 1 <= a <= b <= 1500 (as a geometric mean of weights
// takes them: e^(ln w)); doubles uniform over [-20, 0] (means of such logarithms) and
// over [-1, 1]; uniform over the whole range between the underflow and overflow
// thresholds; uniform bit patterns of every magnitude below 746 (most are tiny); the
// results near and below the least normal double and near overflow; multiples of ln2/512
// and a few ulps around them (where the fast path's reduction changes entry, and between).
// Two threads share the work.
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "double_comparison.hpp"
#include "mpfr_exponential.hpp"
#include "numeric/exponential.hpp"
#include "numeric/natural_log.hpp"

namespace {

using trelba::testing_support::Tally;

void Check(double x, Tally& tally) {
  const double expected = trelba::testing_support::MpfrExponential(x);
  const double actual = trelba::Exponential(x);
  if (tally.Mismatch(actual, expected, 20))
    std::printf("mismatch: exp %a = %a, Exponential %a\n", x, expected, actual);
}

// A kind of argument: `count` of them (times the scale where `scaled`), the i-th drawn by
// `draw`.
struct Kind {
  const char* name;
  std::uint64_t count;
  bool scaled;
  double (*draw)(std::mt19937_64& random, std::uint64_t i);
};

double Uniform(std::mt19937_64& random, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(random);
}

constexpr int kLargestTotal = 1500;

// ln(a / b) for the i-th fraction in the order b = 1, 2, ...; a = 1 .. b.
double LogOfFraction(std::mt19937_64&, std::uint64_t i) {
  std::uint64_t b = 1;
  while (i >= b) i -= b++;
  return trelba::NaturalLog(static_cast<double>(i + 1) / static_cast<double>(b));
}

double MeanOfLogs(std::mt19937_64& random, std::uint64_t) {
  return Uniform(random, -20.0, 0.0);
}

double AroundZero(std::mt19937_64& random, std::uint64_t) {
  return Uniform(random, -1.0, 1.0);
}

double WholeRange(std::mt19937_64& random, std::uint64_t) {
  return Uniform(random, -745.2, 709.8);
}

double EveryMagnitude(std::mt19937_64& random, std::uint64_t) {
  const std::uint64_t largest = std::bit_cast<std::uint64_t>(746.0);
  const std::uint64_t sign = random() & (std::uint64_t{1} << 63);
  return std::bit_cast<double>(sign |
                               std::uniform_int_distribution<std::uint64_t>(0, largest)(random));
}

// Results from 2^-1075 to 2^-1018: subnormals, the least normals and their neighbours.
double TinyResults(std::mt19937_64& random, std::uint64_t) {
  return Uniform(random, -745.2, -705.5);
}

double NearOverflow(std::mt19937_64& random, std::uint64_t) {
  return Uniform(random, 700.0, 709.8);
}

// j ln2/512 + d ulps for |d| <= 4 and every j of the range in turn: odd j are where the
// fast path's k changes, even j where its reduced argument is about 0.
double ReductionEnds(std::mt19937_64& random, std::uint64_t i) {
  constexpr std::int64_t kLargestJ = 550000;
  constexpr double kHalfStep = 0x1.62e42fefa39efp-10;  // ln2/512 rounded
  const auto j = static_cast<std::int64_t>(i % (2 * kLargestJ + 1)) - kLargestJ;
  const double end = static_cast<double>(j) * kHalfStep;
  const auto step = std::uniform_int_distribution<std::int64_t>(-4, 4)(random);
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(end) +
                               static_cast<std::uint64_t>(step));
}

const Kind kKinds[] = {
    {"ln(a/b), 1 <= a <= b <= 1500", kLargestTotal*(kLargestTotal + 1) / 2, false, LogOfFraction},
    {"uniform over [-20, 0]", 6000000, true, MeanOfLogs},
    {"uniform over [-1, 1]", 1000000, true, AroundZero},
    {"uniform between the thresholds", 3000000, true, WholeRange},
    {"bit patterns below 746", 1000000, true, EveryMagnitude},
    {"results below 2^-1018", 200000, true, TinyResults},
    {"results near overflow", 500000, true, NearOverflow},
    {"j ln2/512 and 4 ulps around", 1100001, true, ReductionEnds},
};
constexpr std::size_t kKindCount = sizeof kKinds / sizeof kKinds[0];

// Every `parts`-th argument of each kind from `part` on.
std::vector<Tally> CheckPart(std::uint64_t scale, std::uint64_t part, std::uint64_t parts) {
  std::vector<Tally> tallies(kKindCount);
  for (std::size_t kind = 0; kind < kKindCount; ++kind) {
    std::mt19937_64 random(1000 * kind + part);
    const std::uint64_t count = kKinds[kind].count * (kKinds[kind].scaled ? scale : 1);
    for (std::uint64_t i = part; i < count; i += parts)
      Check(kKinds[kind].draw(random, i), tallies[kind]);
  }
  return tallies;
}

}  // namespace

int main(int argc, char** argv) {
  const std::uint64_t scale = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
  const auto start = std::chrono::steady_clock::now();

  std::vector<Tally> helper_tallies;
  std::thread helper([&] { helper_tallies = CheckPart(scale, 1, 2); });
  const std::vector<Tally> tallies = CheckPart(scale, 0, 2);
  helper.join();

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::uint64_t checked = 0;
  std::uint64_t mismatches = 0;
  for (std::size_t kind = 0; kind < kKindCount; ++kind) {
    const std::uint64_t kind_checked = tallies[kind].checked + helper_tallies[kind].checked;
    std::printf("%-32s %10llu checked\n", kKinds[kind].name,
                static_cast<unsigned long long>(kind_checked));
    checked += kind_checked;
    mismatches += tallies[kind].mismatches + helper_tallies[kind].mismatches;
  }
  std::printf("mismatches with MPFR: %llu of %llu (%.1f s)\n",
              static_cast<unsigned long long>(mismatches), static_cast<unsigned long long>(checked),
              seconds);
  return mismatches == 0 ? 0 : 1;
}
