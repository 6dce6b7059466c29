// What the HTML report and the figure files keep of an input: every point up to
// kMaxPlotPoints, then every s-th sequence, s a power of two, in input order; bins, the
// neutrality line and the genes of most excess over every sequence. The line and the PR2
// shares against values worked out by hand.
#include "reports/plot_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "analysis/line_fit.hpp"
#include "analysis/parity_rule.hpp"
#include "codes/ncbi_tables.hpp"
#include "reports/svg_canvas.hpp"

namespace trelba {
namespace {

PlotPoint PointOf(std::uint64_t sequence, float excess) {
  PlotPoint point;
  point.sequence = sequence;
  point.codons = static_cast<float>(sequence);
  point.excess = excess;
  return point;
}

// Adds `sequences` points, the i-th (from 0) of excess excess(i), in batches of 256.
template <class Excess>
PlotData PlotOf(std::uint64_t sequences, Excess&& excess) {
  PlotData plot;
  PlotBatch batch;
  for (std::uint64_t i = 0; i < sequences; ++i) {
    batch.points.push_back(PointOf(++batch.sequences, excess(i)));
    if (batch.points.size() == 256 || i + 1 == sequences) {
      plot.Add(batch);
      batch.Clear();
    }
  }
  return plot;
}

struct ThinningCase {
  std::uint64_t sequences;
  std::uint64_t stride;
  std::size_t kept;
};

void PrintTo(const ThinningCase& c, std::ostream* os) {
  *os << c.sequences << " sequences";
}

class Thinning : public ::testing::TestWithParam<ThinningCase> {};

TEST_P(Thinning, KeepsEveryStrideThSequenceInInputOrderAndTheMostExcessOfAll) {
  // The excess rises to the middle sequence and falls after it: the genes of most excess
  // are those around it, which thinning may have dropped from the points.
  const std::uint64_t n = GetParam().sequences;
  const PlotData plot = PlotOf(n, [n](std::uint64_t i) {
    return -std::abs(static_cast<float>(i) - static_cast<float>(n / 2));
  });
  EXPECT_EQ(plot.stride(), GetParam().stride);
  ASSERT_EQ(plot.points().size(), GetParam().kept);
  for (std::size_t k = 0; k < plot.points().size(); ++k) {
    ASSERT_EQ(plot.points()[k].sequence, k * plot.stride() + 1) << k;
  }
  // Most first; of equals, the first in input order.
  std::vector<std::uint64_t> expected = {n / 2 + 1};
  for (std::uint64_t d = 1; expected.size() < kTopGenes && expected.size() < n; ++d) {
    if (d <= n / 2) expected.push_back(n / 2 + 1 - d);
    if (n / 2 + d < n && expected.size() < kTopGenes) expected.push_back(n / 2 + 1 + d);
  }
  std::vector<std::uint64_t> top;
  for (const PlotPoint& p : plot.most_excess()) top.push_back(p.sequence);
  EXPECT_EQ(top, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Thinning,
                         ::testing::Values(ThinningCase{1, 1, 1}, ThinningCase{7, 1, 7},
                                           ThinningCase{kMaxPlotPoints - 1, 1, kMaxPlotPoints - 1},
                                           ThinningCase{kMaxPlotPoints, 2, kMaxPlotPoints / 2},
                                           ThinningCase{100000, 4, 25000},
                                           ThinningCase{160001, 8, 20001}));

TEST(PlotData, ValuesAgainstAReferenceReachTheKeptPointsAndTheTopGenes) {
  const PlotData source = PlotOf(90000, [](std::uint64_t i) { return i == 5 ? 9.0f : 0.0f; });
  PlotData plot = source;
  ASSERT_EQ(plot.stride(), 4u);
  for (std::uint64_t s = 1; s <= 90000; ++s) {
    plot.AddReferenceValues(s, static_cast<double>(s), 0.5, s % 3 == 0);
  }
  for (const PlotPoint& p : plot.points()) {
    ASSERT_EQ(p.cai, static_cast<float>(p.sequence));
    ASSERT_EQ(p.in_reference, p.sequence % 3 == 0);
  }
  // Sequence 6 (the 6th, of most excess) is no kept point (every 4th from the 1st).
  ASSERT_EQ(plot.most_excess().front().sequence, 6u);
  EXPECT_EQ(plot.most_excess().front().cai, 6.0f);
  EXPECT_TRUE(plot.most_excess().front().in_reference);
}

TEST(ValueBins, TakeTheEndsAndEveryValueBetween) {
  ValueBins bins;
  for (const double value : {-5.0, kOrderValueBins.low, 0.0, 0.4999, 1.0, 7.0}) {
    bins.Add(kOrderValueBins, value);
  }
  EXPECT_EQ(bins.counts.front(), 2u);
  EXPECT_EQ(bins.counts[static_cast<std::size_t>(kOrderValueBins.count - 1)], 2u);
  EXPECT_EQ(bins.counts[static_cast<std::size_t>(-kOrderValueBins.low / kOrderValueBins.width)],
            1u);
  EXPECT_EQ(bins.total(), 6u);
}

struct LineCase {
  const char* name;
  std::vector<std::pair<double, double>> points;
  double slope, intercept, r;
};

void PrintTo(const LineCase& c, std::ostream* os) {
  *os << c.name;
}

class Line : public ::testing::TestWithParam<LineCase> {};

bool Same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::abs(a - b) <= 1e-12 * (1 + std::abs(b));
}

TEST_P(Line, IsTheLeastSquaresLine) {
  LineFit fit;
  for (const auto& [x, y] : GetParam().points) fit.Add(x, y);
  EXPECT_PRED2(Same, fit.slope(), GetParam().slope);
  EXPECT_PRED2(Same, fit.intercept(), GetParam().intercept);
  EXPECT_PRED2(Same, fit.correlation(), GetParam().r);
}

const double kNaN = std::nan("");

// By hand: x 1..4, y 1, 3, 2, 5: mean 2.5, 2.75; Sxx 5, Sxy 5.5, Syy 8.75.
INSTANTIATE_TEST_SUITE_P(
    Table, Line,
    ::testing::Values(
        LineCase{"exact", {{0, 1}, {1, 3}, {2, 5}}, 2, 1, 1},
        LineCase{"falling", {{0, 1}, {1, 0.5}, {2, 0}}, -0.5, 1, -1},
        LineCase{
            "scattered", {{1, 1}, {2, 3}, {3, 2}, {4, 5}}, 1.1, 0.0, 5.5 / std::sqrt(5 * 8.75)},
        // Values near 0.5 as GC shares are, far from 0: no precision lost.
        LineCase{"offset",
                 {{1e6 + 1, 1e6 + 1}, {1e6 + 2, 1e6 + 3}, {1e6 + 3, 1e6 + 2}, {1e6 + 4, 1e6 + 5}},
                 1.1,
                 1e6 - 1.1e6 + 0.0,
                 5.5 / std::sqrt(5 * 8.75)},
        LineCase{"flat", {{0, 2}, {1, 2}}, 0, 2, kNaN},
        LineCase{"one x", {{1, 2}, {1, 3}}, kNaN, kNaN, kNaN},
        LineCase{"one point", {{1, 2}}, kNaN, kNaN, kNaN}),
    [](const auto& test) {
      std::string name = test.param.name;
      for (char& c : name) c = c == ' ' ? '_' : c;
      return name;
    });

struct ParityCase {
  const char* name;
  int ncbi_table;
  std::vector<std::pair<const char*, std::uint64_t>> codons;
  double g3, a3;
};

void PrintTo(const ParityCase& c, std::ostream* os) {
  *os << c.name;
}

class Parity : public ::testing::TestWithParam<ParityCase> {};

TEST_P(Parity, CountsThirdBasesOfFourFoldBoxesOnly) {
  const SynonymousCodons synonymous = SynonymousCodonsOf(*NcbiGeneticCode(GetParam().ncbi_table));
  CodonCounts counts{};
  for (const auto& [codon, count] : GetParam().codons) {
    counts[static_cast<std::size_t>(CodonIndexOfName(codon))] = count;
  }
  const ParityShares shares = ParitySharesOf(FourFoldCodonsOf(synonymous), counts);
  EXPECT_PRED2(Same, shares.g3, GetParam().g3);
  EXPECT_PRED2(Same, shares.a3, GetParam().a3);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Parity,
    ::testing::Values(
        // Gly GGN and Ala GCN are four-fold: G3 3 of 3 + 1, A3 2 of 2 + 6.
        ParityCase{"gly_ala", 1, {{"GGG", 3}, {"GGC", 1}, {"GCA", 2}, {"GCT", 6}}, 0.75, 0.25},
        // Ser AGY beside Arg AGR, Phe TTY beside Leu TTR, Ile ATH beside Met ATG: no box.
        ParityCase{"mixed_boxes",
                   1,
                   {{"AGC", 5}, {"AGG", 5}, {"TTT", 2}, {"TTG", 2}, {"ATA", 4}, {"CTG", 1}},
                   1.0,
                   kNaN},
        // Under the vertebrate mitochondrial code AGR is a stop: AGN is no box either; Thr
        // ACN is.
        ParityCase{"mito_stops", 2, {{"AGA", 9}, {"ACA", 1}, {"ACT", 3}}, kNaN, 0.25},
        ParityCase{"none", 1, {{"ATG", 4}, {"TGG", 2}}, kNaN, kNaN}),
    [](const auto& test) { return std::string(test.param.name); });

struct IdCase {
  std::string id;
  std::size_t kept;
  bool cut;
};

TEST(PointId, IsCutBetweenCharactersToItsBytes) {
  const std::string e_acute = "\xc3\xa9";
  const std::vector<IdCase> cases = {
      {"b0001", 5, false},
      {std::string(kPlotIdBytes, 'x'), kPlotIdBytes, false},
      {std::string(kPlotIdBytes + 1, 'x'), kPlotIdBytes, true},
      // The two-byte letter would end one byte past the room: it goes whole.
      {std::string(kPlotIdBytes - 1, 'x') + e_acute, kPlotIdBytes - 1, true},
      {std::string(kPlotIdBytes - 2, 'x') + e_acute, kPlotIdBytes, false},
  };
  for (const IdCase& c : cases) {
    PlotPoint point;
    SetPointId(point, c.id);
    EXPECT_EQ(point.Id(), c.id.substr(0, c.kept)) << c.id.size();
    EXPECT_EQ(point.id_cut, c.cut) << c.id.size();
  }
}

TEST(NameEnd, KeepsTheEndOfALongNameBehindAnEllipsis) {
  EXPECT_EQ(NameEnd("a.fa", 10), "a.fa");
  EXPECT_EQ(NameEnd("/data/genomes/phage.fa", 12), "\u2026/phage.fa");
  // The cut would fall inside the two bytes of the e: it moves past them.
  EXPECT_EQ(NameEnd("/x/caf\xc3\xa9.fa", 7), "\u2026.fa");
}

}  // namespace
}  // namespace trelba
