// The median of a series held partly in a temporary file: the same bits as sorting every
// value, whatever their number and spread.
#include "reports/median_series.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace trelba {
namespace {

struct SeriesCase {
  const char* name;
  std::size_t count;
  unsigned distinct;  // how many distinct values (0: any double in [-1, 2); 1: 0 then 1)
};

void PrintTo(const SeriesCase& c, std::ostream* os) {
  *os << c.name;
}

double SortedMedian(std::vector<double> values) {
  std::erase_if(values, [](double v) { return std::isnan(v); });
  if (values.empty()) return std::numeric_limits<double>::quiet_NaN();
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

class MedianOfSeries : public ::testing::TestWithParam<SeriesCase> {};

TEST_P(MedianOfSeries, EqualsTheSortedMedian) {
  const SeriesCase& c = GetParam();
  std::mt19937_64 random(c.count);
  std::uniform_real_distribution<double> any(-1.0, 2.0);
  std::vector<double> values(c.count);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (c.distinct == 1) {
      values[i] = 2 * i >= c.count ? 1.0 : 0.0;
      continue;
    }
    values[i] = c.distinct == 0 ? any(random) : static_cast<double>(random() % c.distinct) / 7;
    if (random() % 50 == 0) values[i] = std::numeric_limits<double>::quiet_NaN();
  }
  MedianSeries series;
  // Added in batches, as the pipeline adds them.
  for (std::size_t at = 0; at < values.size(); at += 256) {
    series.Add(std::span(values).subspan(at, std::min<std::size_t>(256, values.size() - at)));
  }
  EXPECT_EQ(std::bit_cast<std::uint64_t>(series.Median()),
            std::bit_cast<std::uint64_t>(SortedMedian(values)));
}

constexpr std::size_t kHeld = MedianSeries::kHeldValues;

INSTANTIATE_TEST_SUITE_P(
    Table, MedianOfSeries,
    ::testing::Values(SeriesCase{"Empty", 0, 0}, SeriesCase{"One", 1, 0},
                      SeriesCase{"HeldOdd", 1001, 0}, SeriesCase{"HeldEven", 1000, 0},
                      SeriesCase{"SpilledOdd", 3 * kHeld + 7, 0},
                      SeriesCase{"SpilledEven", 3 * kHeld + 8, 0},
                      // Far more equal values than memory holds: the last digits decide.
                      SeriesCase{"SpilledFewDistinct", 5 * kHeld + 2, 3},
                      SeriesCase{"SpilledTwoDistinct", 4 * kHeld, 2},
                      // The middle two on either side of a digit's edge.
                      SeriesCase{"SpilledHalvesOfZeroAndOne", 4 * kHeld, 1}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
