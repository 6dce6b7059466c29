// NaturalLog against MPFR's correctly rounded log, bit for bit, on samples of every kind
// of argument; the exhaustive run over the analysis's fractions is tools/check_natural_log.
#include "numeric/natural_log.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "double_comparison.hpp"
#include "mpfr_log.hpp"
#include "numeric/natural_log_argument.hpp"
#include "numeric/natural_log_exact.hpp"

namespace trelba {
namespace {

using testing_support::Bits;
using testing_support::Hex;
using testing_support::MpfrNaturalLog;
using testing_support::SpecialCase;
using testing_support::Tally;

// A kind of argument and a sample of it (drawn with a fixed seed).
struct ArgumentKind {
  const char* name;
  std::vector<double> (*sample)();
};

void PrintTo(const ArgumentKind& kind, std::ostream* out) {
  *out << kind.name;
}

constexpr int kSampleSize = 20000;

std::mt19937_64& Random() {
  static std::mt19937_64 random(20261209);
  return random;
}

// count / total as the analysis forms them, totals up to 3000.
std::vector<double> Fractions() {
  std::uniform_int_distribution<int> total(1, 3000);
  std::vector<double> values;
  for (int i = 0; i < kSampleSize; ++i) {
    const int b = total(Random());
    const int a = std::uniform_int_distribution<int>(1, b)(Random());
    values.push_back(static_cast<double>(a) / static_cast<double>(b));
  }
  return values;
}

std::vector<double> UniformUpTo8() {
  std::uniform_real_distribution<double> uniform(0.0, 8.0);
  std::vector<double> values;
  while (values.size() < kSampleSize) {
    const double x = uniform(Random());
    if (x > 0.0) values.push_back(x);
  }
  return values;
}

// Uniform over the bit patterns of positive finite doubles: every binade alike.
std::vector<double> WholePositiveRange() {
  std::uniform_int_distribution<std::uint64_t> bits(1, 0x7fefffffffffffff);
  std::vector<double> values;
  for (int i = 0; i < kSampleSize; ++i) values.push_back(std::bit_cast<double>(bits(Random())));
  return values;
}

std::vector<double> Subnormals() {
  std::vector<double> values = {std::numeric_limits<double>::denorm_min(),
                                std::bit_cast<double>(std::uint64_t{0x000fffffffffffff})};
  std::uniform_int_distribution<std::uint64_t> bits(1, 0x000fffffffffffff);
  for (int i = 0; i < 2000; ++i) values.push_back(std::bit_cast<double>(bits(Random())));
  for (unsigned shift = 0; shift < 52; ++shift) {
    values.push_back(std::bit_cast<double>(std::uint64_t{1} << shift));  // 2^-1074 .. 2^-1023
  }
  return values;
}

// Every power of two, and its neighbours.
std::vector<double> PowersOfTwo() {
  std::vector<double> values;
  for (std::uint64_t exponent = 1; exponent < 2047; ++exponent) {
    const std::uint64_t bits = exponent << 52;
    values.push_back(std::bit_cast<double>(bits));
    values.push_back(std::bit_cast<double>(bits + 1));
    values.push_back(std::bit_cast<double>(bits - 1));
  }
  return values;
}

// 1 + k ulp and 1 - k ulp for k up to 5000: ln x is tiny and must keep its relative
// precision.
std::vector<double> UlpsFromOne() {
  std::vector<double> values;
  for (std::uint64_t k = 1; k <= 5000; ++k) {
    values.push_back(std::bit_cast<double>(Bits(1.0) + k));
    values.push_back(std::bit_cast<double>(Bits(1.0) - k));
  }
  return values;
}

// 1 + d for |d| from 2^-8 (where the table's intervals beside 1 end) down to 2^-52.
std::vector<double> NearOne() {
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> scale(8, 52);
  std::vector<double> values;
  for (int i = 0; i < kSampleSize; ++i) {
    const double d = unit(Random()) * std::bit_cast<double>(
                                          static_cast<std::uint64_t>(1023 - scale(Random())) << 52);
    values.push_back(1.0 + d);
  }
  return values;
}

// The ends of the table's intervals, where the reduction changes entry and k.
std::vector<double> IntervalEnds() {
  std::vector<double> values;
  for (double x = 0.6875; x < 1.375; x += x < 1.0 ? 0x1p-9 : 0x1p-8) {
    for (const double scale : {0x1p-3, 1.0, 2.0, 0x1p40}) {
      const std::uint64_t bits = Bits(x * scale);
      values.push_back(std::bit_cast<double>(bits));
      values.push_back(std::bit_cast<double>(bits - 1));
      values.push_back(std::bit_cast<double>(bits + 1));
    }
  }
  return values;
}

const ArgumentKind kKinds[] = {
    {"Fractions", Fractions},
    {"UniformUpTo8", UniformUpTo8},
    {"WholePositiveRange", WholePositiveRange},
    {"Subnormals", Subnormals},
    {"PowersOfTwo", PowersOfTwo},
    {"UlpsFromOne", UlpsFromOne},
    {"NearOne", NearOne},
    {"IntervalEnds", IntervalEnds},
};

class NaturalLogAgainstMpfr : public testing::TestWithParam<ArgumentKind> {};

TEST_P(NaturalLogAgainstMpfr, EveryResultIsCorrectlyRounded) {
  Tally tally;
  for (const double x : GetParam().sample()) {
    const double expected = MpfrNaturalLog(x);
    const double actual = NaturalLog(x);
    if (tally.Mismatch(actual, expected, 10)) {
      ADD_FAILURE() << "ln " << Hex(x) << ": " << Hex(actual) << ", MPFR " << Hex(expected);
    }
  }
  EXPECT_EQ(tally.mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NaturalLogAgainstMpfr, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<ArgumentKind>& param) {
                           return std::string(param.param.name);
                         });

// Published hard-to-round arguments of the double-precision logarithm (Lefevre and
// Muller's exhaustive search): ln x lies within 2^-100 or so of a midpoint between two
// doubles, relative to ln x.
const double kHardToRound[] = {
    0x1.a6ae5142326b5p+0,  0x1.a6ba95b1520f9p+0,  0x1.1e852e6951306p+1,  0x1.000976581ce4ep+1,
    0x1.ffcd1f1e0c16fp+1,  0x1.2d26e1ebebee6p+2,  0x1.39e3e05fe5f35p+3,  0x1.0af4fba7063b8p+4,
    0x1.0bb1747d46314p+5,  0x1.186e96b6dca56p+6,  0x1.08fa8af9c8957p+7,  0x1.15956b273c365p+8,
    0x1.07598f4a78f02p+9,  0x1.38a3dbb5a6a4fp+10, 0x1.1e88509f96c39p+11, 0x1.a455a70c31d8p+13,
    0x1.561031d4db97cp+16, 0x1.3e2cabb17c6a9p+19, 0x1.30dafba546295p+24, 0x1.187473f1019f6p+31,
    0x1.a6004162f2b8cp+45, 0x1.2062bf45679f6p-1,  0x1.acb8cf13bc769p-2,  0x1.26f3acd978277p-3,
    0x1.ab1f24dd77b4p-4,   0x1.92684e5721414p-7,  0x1.f27f344dc57a8p-10, 0x1.c4acb8d681064p-14,
    0x1.83432adc159b4p-19, 0x1.2b682ec48306ep-32, 0x1.598dccfe1b0eap-43, 0x1.04b526ba981fep-61,
    0x1.000000004b8p+0,    0x1.0000000050002p+0,  0x1.000000005fffdp+0,  0x1.000000007fffbp+0,
    0x1.0000000000801p+0,  0x1.0000000001fffp+0,  0x1.0000000004003p+0,  0x1.ffffffffff7ffp-1,
    0x1.fffffffffe0b5p-1,  0x1.fffffffffbffbp-1,  0x1.fffffffffa88fp-1,  0x1.fffffffff8005p-1,
};

class HardToRound : public testing::TestWithParam<double> {};

TEST_P(HardToRound, BothPathsRoundLikeMpfr) {
  const double x = GetParam();
  const double expected = MpfrNaturalLog(x);
  EXPECT_EQ(Bits(NaturalLog(x)), Bits(expected)) << Hex(x);
  const auto argument = natural_log_detail::SplitLogArgument(Bits(x), 0);
  EXPECT_EQ(Bits(natural_log_detail::ExactNaturalLog(argument)), Bits(expected)) << Hex(x);
}

INSTANTIATE_TEST_SUITE_P(Published, HardToRound, testing::ValuesIn(kHardToRound),
                         [](const testing::TestParamInfo<double>& param) {
                           return testing_support::BitsName(param.param);
                         });

// The exact path decides only the arguments the fast one cannot, so few samples reach
// it through NaturalLog: check it directly, on every kind of normal argument.
TEST(NaturalLogExactPath, RoundsLikeMpfrOnItsOwn) {
  Tally tally;
  for (const ArgumentKind& kind : kKinds) {
    const std::vector<double> sample = kind.sample();
    for (std::size_t i = 0; i < sample.size(); i += 7) {
      const double x = sample[i];
      if (x < std::numeric_limits<double>::min()) continue;
      const double expected = MpfrNaturalLog(x);
      const double actual =
          natural_log_detail::ExactNaturalLog(natural_log_detail::SplitLogArgument(Bits(x), 0));
      if (tally.Mismatch(actual, expected, 10)) {
        ADD_FAILURE() << kind.name << ": ln " << Hex(x) << ": " << Hex(actual) << ", MPFR "
                      << Hex(expected);
      }
    }
  }
  EXPECT_EQ(tally.mismatches, 0u);
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const SpecialCase kSpecialCases[] = {
    {"PositiveZero", 0.0, -kInfinity},
    {"NegativeZero", -0.0, -kInfinity},
    {"One", 1.0, 0.0},
    {"PositiveInfinity", kInfinity, kInfinity},
    {"NegativeInfinity", -kInfinity, kNaN},
    {"MinusOne", -1.0, kNaN},
    {"NegativeSubnormal", -0x1p-1074, kNaN},
    {"NaN", kNaN, kNaN},
    {"Largest", 0x1.fffffffffffffp+1023, 0x1.62e42fefa39efp+9},
};

class NaturalLogSpecialValues : public testing::TestWithParam<SpecialCase> {};

TEST_P(NaturalLogSpecialValues, AsIeeeLog) {
  const SpecialCase& c = GetParam();
  const double actual = NaturalLog(c.x);
  if (c.expected != c.expected) {
    EXPECT_NE(actual, actual) << Hex(actual);
  } else {
    EXPECT_EQ(Bits(actual), Bits(c.expected)) << Hex(actual);  // ln 1 is +0, not -0
  }
}

INSTANTIATE_TEST_SUITE_P(Specials, NaturalLogSpecialValues, testing::ValuesIn(kSpecialCases),
                         [](const testing::TestParamInfo<SpecialCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace trelba
