#include "numeric/number_format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <random>
#include <string>

#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"

namespace trelba {
namespace {

std::string Formatted(double v) {
  char text[kMaxNumberText];
  return {text, FormatDouble(text, v)};
}

std::string Printf(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

// A band of decimal exponents from which random magnitudes are drawn.
struct Band {
  const char* name;
  int lowest;
  int highest;
};

void PrintTo(const Band& band, std::ostream* out) {
  *out << band.name << " (1e" << band.lowest << " to 1e" << band.highest << ")";
}

const Band kBands[] = {
    {"Subnormal", -323, -308},
    {"Tiny", -307, -30},
    {"SmallExponentNotation", -29, -5},
    {"PlainBelowOne", -4, -1},  // 0.0001 to 0.999999: order values and scores
    {"PlainAboveOne", 0, 5},
    {"LargeExponentNotation", 6, 40},
    {"Huge", 41, 308},
};

class FormatDoubleBand : public testing::TestWithParam<Band> {};

// Random doubles, whole six-digit decimals of every length and their neighbours, which
// exercise each layout (leading zeros, a point inside the digits, an exponent) and the
// dropping of trailing zeros.
TEST_P(FormatDoubleBand, AgreesWithPrintf) {
  const Band& band = GetParam();
  std::mt19937_64 random(static_cast<std::uint64_t>(band.lowest + 1000));
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(band.lowest, band.highest);
  std::uniform_int_distribution<int> kept_digits(1, 6);
  auto check = [](double v) {
    ASSERT_EQ(Formatted(v), Printf(v)) << std::hexfloat << v;
    ASSERT_EQ(Formatted(-v), Printf(-v)) << std::hexfloat << -v;
  };
  for (int i = 0; i < 200000; ++i) {
    const double power = std::pow(10.0, exponent(random));
    check(mantissa(random) * power);
    const double scale = std::pow(10.0, kept_digits(random) - 1);
    const double decimal = std::round(mantissa(random) * scale) / scale * power;
    // Six-digit decimals, the halves between them, and the doubles beside each: where the
    // fast path must tell a near tie from a tie.
    const double six = std::round(mantissa(random) * 1e5) * power / 1e5;
    for (const double w : {decimal, six, six * 1.0000005, six * 0.9999995}) {
      check(w);
      check(std::nextafter(w, 0.0));
      check(std::nextafter(w, HUGE_VAL));
    }
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Magnitudes, FormatDoubleBand, testing::ValuesIn(kBands),
                         [](const testing::TestParamInfo<Band>& param) {
                           return std::string(param.param.name);
                         });

TEST(FormatDouble, EdgesAsPrintf) {
  for (double v : {0.0,
                   -0.0,
                   HUGE_VAL,
                   -HUGE_VAL,
                   std::nan(""),
                   1e-5,
                   9.999995e-5,
                   0.0001,
                   99999.95,
                   999999.5,
                   1e6,
                   1234565.0,
                   0.5,
                   1e22,
                   1e23,
                   1e-17,
                   1e-18,
                   5e-324,
                   1.7976931348623157e308,
                   -0.4426950408889634,
                   2.220446049250313e-16}) {
    EXPECT_EQ(Formatted(v), Printf(v)) << v;
  }
}

// The numbers the reports actually print: order values and scores of random sequences.
TEST(FormatDouble, OrderValuesAndScoresAsPrintf) {
  std::mt19937_64 random(99);
  std::uniform_int_distribution<std::uint64_t> count(0, 40);
  for (int code = 0; code < kGeneticCodeCount; ++code) {
    for (int trial = 0; trial < 5000; ++trial) {
      CodonCounts counts{};
      for (std::size_t k = 1; k <= kCodonCount; ++k) counts[k] = count(random) / (1 + k % 5);
      SequenceAnalysis analysis;
      AnalyseSequence(GeneticCodeNumber(code), counts, analysis);
      for (std::size_t f = 1; f <= kFamilyCount; ++f) {
        ASSERT_EQ(Formatted(analysis.order[f]), Printf(analysis.order[f])) << "code " << code;
      }
      ASSERT_EQ(Formatted(analysis.score), Printf(analysis.score)) << "code " << code;
    }
  }
}

}  // namespace
}  // namespace trelba
