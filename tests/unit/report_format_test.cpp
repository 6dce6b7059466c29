#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "numeric/number_format.hpp"
#include "reports/count_report.hpp"
#include "reports/order_report.hpp"
#include "reports/output_buffer.hpp"
#include "reports/score_report.hpp"

namespace trelba {
namespace {

std::string Double(double v) {
  char text[kMaxNumberText];
  return {text, FormatDouble(text, v)};
}

TEST(FormatDouble, SixSignificantDigitsAsPrintfG) {
  EXPECT_EQ(Double(1.0), "1");
  EXPECT_EQ(Double(0.0), "0");
  EXPECT_EQ(Double(-0.4426950408889634), "-0.442695");
  EXPECT_EQ(Double(0.123456789), "0.123457");
  EXPECT_EQ(Double(0.00001234), "1.234e-05");
  EXPECT_EQ(Double(0.5), "0.5");
  EXPECT_EQ(Double(1234567.0), "1.23457e+06");
  EXPECT_EQ(Double(2.220446049250313e-16), "2.22045e-16");
  // Agrees with printf on a spread of values.
  for (double v = 1e-9; v < 1e9; v *= 3.7) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%g", v);
    EXPECT_EQ(Double(v), expected);
    std::snprintf(expected, sizeof expected, "%g", -v);
    EXPECT_EQ(Double(-v), expected);
  }
}

// The fast path must agree with printf everywhere, near rounding boundaries above all.
TEST(FormatDouble, AgreesWithPrintfOnMillionsOfValues) {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_int_distribution<int> exponent(-30, 30);
  auto check = [](double v) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%g", v);
    ASSERT_EQ(Double(v), expected) << std::hexfloat << v;
  };
  for (int i = 0; i < 1000000; ++i) {
    const double v = unit(random) * std::pow(10.0, exponent(random));
    check(v);
    check(-v);
    // Six-digit decimals and their rounding halves, and the doubles next to them.
    const double six = std::round(unit(random) * 9e5 + 1e5) * std::pow(10.0, exponent(random));
    for (double w : {six, six * 1.0000005, six * 0.9999995}) {
      check(w);
      check(std::nextafter(w, 0.0));
      check(std::nextafter(w, 1e300));
    }
  }
  for (double v : {1e-5, 9.999995e-5, 0.0001, 99999.95, 999999.5, 1e6, 1234565.0, 0.5, 1e22, 1e23,
                   1e-17, 1e-18, 5e-324, 1.7976931348623157e308, 0.0, -0.0}) {
    check(v);
  }
}

TEST(FormatCount, IntegersBelowAMillionThenExponent) {
  char text[kMaxNumberText];
  for (std::uint64_t n : {0ull, 17ull, 999999ull, 1000000ull, 1234567ull, 40000000000ull}) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%g", static_cast<double>(n));
    EXPECT_EQ(std::string(text, FormatCount(text, n)), expected);
  }
}

TEST(FormatSequenceLabel, ZeroPaddedToAtLeastSevenDigits) {
  char text[kMaxNumberText];
  auto label = [&](std::uint64_t n) { return std::string(text, FormatSequenceLabel(text, n)); };
  EXPECT_EQ(label(1), "0000001");
  EXPECT_EQ(label(10), "0000010");
  EXPECT_EQ(label(50000), "0050000");
  EXPECT_EQ(label(50001), "0050001");  // no limit on the number of sequences
  EXPECT_EQ(label(123456), "0123456");
  EXPECT_EQ(label(12345678), "12345678");
}

TEST(CountReport, BlockLayout) {
  StringSink sink;
  OutputBuffer out(sink, 8192);
  CodonCounts counts{};
  counts[1] = 3;   // UUU
  counts[16] = 2;  // UGG
  counts[64] = 1;  // GGG
  WriteCountBlock(out, 2, counts);
  out.Flush();
  const std::string& text = sink.text;
  EXPECT_EQ(text.substr(0, text.find('\n')), "sequence#0000002 UUU\t3\tUCU\t0\tUAU\t0\tUGU\t0");
  EXPECT_NE(text.find("sequence#0000002 UUG\t0\tUCG\t0\tUAG\t0\tUGG\t2\n"), std::string::npos);
  EXPECT_NE(text.find("sequence#0000002 GUG\t0\tGCG\t0\tGAG\t0\tGGG\t1\n\n\n"), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 18);
}

TEST(OrderReport, BlockScoresAndAverage) {
  StringSink order_sink, score_sink;
  OutputBuffer order(order_sink, 4096), scores(score_sink, 4096);
  FamilyValues values{};
  for (std::size_t f = 1; f <= 21; ++f) values[f] = 1.0;
  values[5] = 0.0;
  values[7] = -0.4426950408889634;
  OrderTexts texts;
  FormatOrderValues(values, texts);
  WriteOrderBlock(order, texts);
  AverageScore average;
  for (double s : {0.25, 0.0, 0.75, std::nan("")}) {
    WriteScoreLine(scores, s);
    average.Add(s);
  }
  WriteAverageLine(scores, average);
  order.Flush();
  scores.Flush();
  EXPECT_EQ(order_sink.text.substr(0, 30), "1 1\n2 1\n3 1\n4 1\n5 0\n6 1\n7 -0.4");
  EXPECT_EQ(order_sink.text.substr(order_sink.text.size() - 7), "\n21 1\n\n");
  EXPECT_EQ(score_sink.text, "0.25\n0.75\n\naverage = 0.5\n");
}

TEST(OrderReport, AverageWithoutScoresIsNan) {
  StringSink sink;
  OutputBuffer out(sink, 64);
  WriteAverageLine(out, AverageScore{});
  out.Flush();
  EXPECT_EQ(sink.text, "\naverage = nan\n");
}

TEST(OutputBuffer, SmallBufferPassesEverythingThrough) {
  StringSink sink;
  OutputBuffer out(sink, 5);
  out.Append("abcdefghijkl");
  out.Append("m");
  out.Flush();
  EXPECT_EQ(sink.text, "abcdefghijklm");
}

}  // namespace
}  // namespace trelba
