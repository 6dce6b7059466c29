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
