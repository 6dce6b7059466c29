// What the HTML report keeps of an input: every point up to kMaxPlotPoints, then every
// s-th sequence, s a power of two, in input order; bins that count every value.
#include "reports/html_report.hpp"

#include <gtest/gtest.h>

namespace trelba {
namespace {

struct ThinningCase {
  std::uint64_t sequences;
  std::uint64_t stride;
  std::size_t kept;
};

void PrintTo(const ThinningCase& c, std::ostream* os) {
  *os << c.sequences << " sequences";
}

class Thinning : public ::testing::TestWithParam<ThinningCase> {};

TEST_P(Thinning, KeepsEveryStrideThSequenceInInputOrder) {
  PlotData plot;
  PlotBatch batch;
  for (std::uint64_t i = 0; i < GetParam().sequences; ++i) {
    batch.points.push_back({.sequence = i + 1,
                            .codons = static_cast<float>(i),
                            .score = 0.5f,
                            .excess = 0.0f,
                            .enc = 61.0f,
                            .gc3s = 0.5f});
    if (batch.points.size() == 256 || i + 1 == GetParam().sequences) {
      plot.Add(batch);
      batch.Clear();
    }
  }
  EXPECT_EQ(plot.stride(), GetParam().stride);
  ASSERT_EQ(plot.points().size(), GetParam().kept);
  for (std::size_t k = 0; k < plot.points().size(); ++k) {
    ASSERT_EQ(plot.points()[k].codons, static_cast<float>(k * plot.stride())) << k;
  }
  EXPECT_EQ(plot.scores().total(), GetParam().sequences);
}

INSTANTIATE_TEST_SUITE_P(Table, Thinning,
                         ::testing::Values(ThinningCase{1, 1, 1},
                                           ThinningCase{kMaxPlotPoints - 1, 1, kMaxPlotPoints - 1},
                                           ThinningCase{kMaxPlotPoints, 2, kMaxPlotPoints / 2},
                                           ThinningCase{250000, 4, 62500},
                                           ThinningCase{400001, 8, 50001}));

TEST(ValueBins, TakeTheEndsAndEveryValueBetween) {
  ValueBins bins;
  for (const double value : {-5.0, kLowestValue, 0.0, 0.4999, 1.0, 7.0}) bins.Add(value);
  EXPECT_EQ(bins.counts.front(), 2u);
  EXPECT_EQ(bins.counts.back(), 2u);
  EXPECT_EQ(bins.counts[static_cast<std::size_t>(-kLowestValue / kValueBinWidth + 0.5)], 1u);
  EXPECT_EQ(bins.total(), 6u);
}

}  // namespace
}  // namespace trelba
