// Exponential against MPFR's correctly rounded exp, bit for bit, on samples of every kind
// of argument, on hard cases and on the special values; the run over millions of
// arguments is tools/check_exponential.
#include "numeric/exponential.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "double_comparison.hpp"
#include "mpfr_exponential.hpp"
#include "numeric/exponential_exact.hpp"

namespace trelba {
namespace {

using testing_support::Bits;
using testing_support::Hex;
using testing_support::MpfrExponential;
using testing_support::SpecialCase;
using testing_support::Tally;

// A kind of argument: `count` of them uniform over [low, high] (fixed seed).
struct ArgumentKind {
  const char* name;
  double low;
  double high;
  int count;
};

void PrintTo(const ArgumentKind& kind, std::ostream* out) {
  *out << kind.name;
}

std::vector<double> Sample(const ArgumentKind& kind) {
  std::mt19937_64 random(20261210);
  std::uniform_real_distribution<double> uniform(kind.low, kind.high);
  std::vector<double> values;
  for (int i = 0; i < kind.count; ++i) values.push_back(uniform(random));
  return values;
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const ArgumentKind kKinds[] = {
    {"MeansOfLogs", -20.0, 0.0, 20000},           // a geometric mean's argument
    {"BetweenThresholds", -745.2, 709.8, 20000},  // every binade of the result
    {"NearZero", -0x1p-20, 0x1p-20, 5000},        // e^x close to 1
    {"SubnormalResults", -745.2, -708.0, 3000},   // only the exact path
    {"NearOverflow", 705.0, 709.8, 3000},         // 2^m in two steps at m = 1024
};

class ExponentialAgainstMpfr : public testing::TestWithParam<ArgumentKind> {};

TEST_P(ExponentialAgainstMpfr, EveryResultIsCorrectlyRounded) {
  Tally tally;
  for (const double x : Sample(GetParam())) {
    const double expected = MpfrExponential(x);
    const double actual = Exponential(x);
    if (tally.Mismatch(actual, expected, 10)) {
      ADD_FAILURE() << "exp " << Hex(x) << ": " << Hex(actual) << ", MPFR " << Hex(expected);
    }
  }
  EXPECT_EQ(tally.mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExponentialAgainstMpfr, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<ArgumentKind>& param) {
                           return std::string(param.param.name);
                         });

// Arguments whose e^x lies very near a midpoint between two doubles: the hardest the fast
// path failed on among 1.6 billion random ones (within 2^-28 to 2^-32 ulp of one), and
// beside +-2^-53 and +-2^-54, where e^x = 1 + x + x^2/2 lies x^2/2 (2^-54 ulp) from one.
const double kHardToRound[] = {
    -0x1.326ee3f294ac8p+1,
    -0x1.6105e2c554686p+2,
    -0x1.f07bf9587f1d0p+0,
    -0x1.32d7fb5e090a0p+4,
    -0x1.be60e9e2e76e6p+3,
    -0x1.2c9e8d024084ep+9,
    0x1.0fdd8f84e123ap+9,
    0x1.07788090b39e4p+7,
    0x1p-53,
    0x1.fffffffffffffp-54,
    0x1.8p-52,
    -0x1p-54,
    -0x1.0000000000001p-54,
};

class ExponentialHardToRound : public testing::TestWithParam<double> {};

TEST_P(ExponentialHardToRound, EveryPathRoundsLikeMpfr) {
  const double x = GetParam();
  const double expected = MpfrExponential(x);
  EXPECT_EQ(Bits(Exponential(x)), Bits(expected)) << Hex(x);
  EXPECT_EQ(Bits(exponential_detail::ExactExponential(x)), Bits(expected)) << Hex(x);
}

INSTANTIATE_TEST_SUITE_P(Found, ExponentialHardToRound, testing::ValuesIn(kHardToRound),
                         [](const testing::TestParamInfo<double>& param) {
                           return testing_support::BitsName(param.param);
                         });

// The exact path decides only what the fast one cannot (one argument in 2^21), and its
// wider precisions never come into play: check each precision directly, on every kind.
TEST(ExponentialExactPath, EachPrecisionRoundsLikeMpfr) {
  for (unsigned bits = exponential_detail::kNarrowestFractionBits;
       bits <= exponential_detail::kWidestFractionBits; bits *= 2) {
    const std::size_t stride = bits / 8;  // fewer arguments at the costlier precisions
    Tally tally;
    for (const ArgumentKind& kind : kKinds) {
      const std::vector<double> sample = Sample(kind);
      for (std::size_t i = 0; i < sample.size(); i += stride) {
        const double x = sample[i];
        const double expected = MpfrExponential(x);
        const auto actual = exponential_detail::ExactExponentialAt(x, bits);
        // An open rounding counts as a mismatch (NaN differs from every result).
        if (tally.Mismatch(actual.value_or(kNaN), expected, 10)) {
          ADD_FAILURE() << bits << " bits, exp " << Hex(x) << ": "
                        << (actual ? Hex(*actual) : "open") << ", MPFR " << Hex(expected);
        }
      }
    }
    EXPECT_EQ(tally.mismatches, 0u) << bits << " bits";
  }
}

const SpecialCase kSpecialCases[] = {
    {"PositiveZero", 0.0, 1.0},
    {"NegativeZero", -0.0, 1.0},
    {"PositiveInfinity", kInfinity, kInfinity},
    {"NegativeInfinity", -kInfinity, 0.0},
    {"NaN", kNaN, kNaN},
    {"One", 1.0, 0x1.5bf0a8b145769p+1},
    {"MinusOne", -1.0, 0x1.78b56362cef38p-2},
    {"LeastSubnormal", 0x1p-1074, 1.0},
    {"LargestBelowOverflow", 0x1.62e42fefa39efp+9, 0x1.fffffffffff2ap+1023},
    {"SmallestOverflowing", 0x1.62e42fefa39fp+9, kInfinity},
    {"LargestFinite", 0x1.fffffffffffffp+1023, kInfinity},
    {"SmallestAboveZero", -0x1.74910d52d3051p+9, 0x1p-1074},
    {"LargestUnderflowing", -0x1.74910d52d3052p+9, 0.0},
    {"LowestFinite", -0x1.fffffffffffffp+1023, 0.0},
    {"LeastNormalResult", -0x1.6232bdd7abcd2p+9, 0x1.000000000007cp-1022},
    {"LargestSubnormalResult", -0x1.6232bdd7abcd3p+9, 0x0.ffffffffffe7cp-1022},
    {"BelowTinyBound", 0x1.fffffffffffffp-55, 1.0},
    {"NegativeBelowTinyBound", -0x1.fffffffffffffp-55, 1.0},
};

class ExponentialSpecialValues : public testing::TestWithParam<SpecialCase> {};

TEST_P(ExponentialSpecialValues, AsIeeeExp) {
  const SpecialCase& c = GetParam();
  const double actual = Exponential(c.x);
  if (c.expected != c.expected) {
    EXPECT_NE(actual, actual) << Hex(actual);
  } else {
    EXPECT_EQ(Bits(actual), Bits(c.expected)) << Hex(actual);
    EXPECT_EQ(Bits(actual), Bits(MpfrExponential(c.x))) << "MPFR";
  }
}

INSTANTIATE_TEST_SUITE_P(Specials, ExponentialSpecialValues, testing::ValuesIn(kSpecialCases),
                         [](const testing::TestParamInfo<SpecialCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace trelba
