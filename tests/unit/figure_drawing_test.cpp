// The figures as markup: every dot of a scatter plot named by its <title> (escaped), a layer
// of more dots than are drawn one by one binned with every dot counted; the top genes by
// adaptation among the kept points; the RSCU heat map a titled cell per codon and input up
// to kTitledColumns, paths of one shade beyond, its names up to kNamedColumns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "codes/ncbi_tables.hpp"
#include "reports/gene_scatter.hpp"
#include "reports/rscu_heat_map.hpp"
#include "reports/top_genes.hpp"

namespace trelba {
namespace {

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

// The sum of the data-n counts of the bins.
std::uint64_t Binned(const std::string& svg) {
  std::uint64_t sum = 0;
  const std::string bin = "class=\"bin\" data-n=\"";
  for (std::size_t at = svg.find(bin); at != std::string::npos; at = svg.find(bin, at)) {
    at += bin.size();
    sum += std::stoull(svg.substr(at, svg.find('"', at) - at));
  }
  return sum;
}

struct ScatterCase {
  std::size_t dots;
  std::size_t titled;  // dots drawn one by one, each with its title
  std::uint64_t binned;
};

void PrintTo(const ScatterCase& c, std::ostream* os) {
  *os << c.dots << " dots";
}

class ScatterDots : public ::testing::TestWithParam<ScatterCase> {};

TEST_P(ScatterDots, AreEachNamedOrEachCountedInABin) {
  Scatter plot;
  plot.kind = "scatter test-plot";
  plot.x = {"gc3s", "gc3s", 0, 1, 3};
  plot.y = {"enc", "enc", 20, 62, 1};
  ScatterLayer& layer = plot.layers.emplace_back();
  layer.cls = "points";
  const std::string id = "g<1>&\"b\"";
  for (std::size_t i = 0; i < GetParam().dots; ++i) {
    layer.dots.push_back(
        {static_cast<double>(i % 100) / 100, 20 + static_cast<double>(i % 42), id, i == 0});
  }
  std::string svg;
  DrawScatter(svg, plot, SvgTarget::kPage);
  EXPECT_EQ(Occurrences(svg, "<title>g&lt;1&gt;&amp;&quot;b&quot;"), GetParam().titled);
  EXPECT_EQ(Binned(svg), GetParam().binned);
  if (GetParam().titled != 0) {
    // The first dot's id was cut: its title says so.
    EXPECT_NE(svg.find("&quot;b&quot;\u2026: gc3s 0.000, enc 20.0</title>"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ScatterDots,
                         ::testing::Values(ScatterCase{1, 1, 0}, ScatterCase{500, 500, 0},
                                           ScatterCase{kMaxDrawnPoints, kMaxDrawnPoints, 0},
                                           ScatterCase{kMaxDrawnPoints + 1, 0,
                                                       kMaxDrawnPoints + 1}));

TEST(TopGenes, AreThoseOfMostAdaptationWithAReferenceFirstOfEqualsInInputOrder) {
  PlotData plot;
  PlotBatch batch;
  // Adaptation 0, 1, 2, 0, 1, 2, ... and NaN for every 7th gene; excess the other way.
  for (std::uint64_t i = 0; i < 40; ++i) {
    PlotPoint& point = batch.points.emplace_back();
    point.sequence = ++batch.sequences;
    point.excess = -static_cast<float>(i);
  }
  plot.Add(batch);
  for (std::uint64_t s = 1; s <= 40; ++s) {
    plot.AddReferenceValues(s, 0.5, s % 7 == 0 ? std::nan("") : static_cast<double>(s % 3), false);
  }
  const auto sequences = [&](bool reference) {
    std::vector<std::uint64_t> out;
    for (const PlotPoint* p : TopGenes({plot, reference, nullptr})) out.push_back(p->sequence);
    return out;
  };
  // s % 3 == 2, not a multiple of 7: 2, 5, 8, 11, 17, 20, 23, 26, 29, 32 (14 and 35 are).
  EXPECT_EQ(sequences(true), (std::vector<std::uint64_t>{2, 5, 8, 11, 17, 20, 23, 26, 29, 32}));
  EXPECT_EQ(sequences(false), (std::vector<std::uint64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

struct HeatCase {
  std::size_t columns;
  bool named, titled;
};

void PrintTo(const HeatCase& c, std::ostream* os) {
  *os << c.columns << " columns";
}

class RscuHeatMap : public ::testing::TestWithParam<HeatCase> {};

TEST_P(RscuHeatMap, NamesEachCellUpToItsLimit) {
  const SynonymousCodons synonymous = SynonymousCodonsOf(*NcbiGeneticCode(11));
  RunPlotData run(synonymous, GetParam().columns);
  CodonCounts counts{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) counts[c] = c;
  for (std::size_t k = 0; k < GetParam().columns; ++k) {
    const std::string name = "genome_" + std::to_string(k);
    run.AddInput({k, name, nullptr, 50, 0.5, counts, nullptr, {}});
  }
  std::string svg;
  DrawRscuHeatMap(svg, run, SvgTarget::kPage);
  // 59 codons of amino acids of two or more codons under table 11.
  EXPECT_EQ(Occurrences(svg, "<title>genome_"), GetParam().titled ? 59 * GetParam().columns : 0);
  EXPECT_EQ(svg.find("<title>genome_0: TTT (Phe) RSCU 0.667</title>") != std::string::npos,
            GetParam().titled);
  EXPECT_EQ(Occurrences(svg, ">genome_") - Occurrences(svg, "<title>genome_"),
            GetParam().named ? GetParam().columns : 0);
  // Past the titled columns a path per shade: several, whatever the columns.
  if (GetParam().titled) {
    EXPECT_EQ(Occurrences(svg, "<path "), 0u);
  } else {
    EXPECT_GT(Occurrences(svg, "<path "), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, RscuHeatMap,
                         ::testing::Values(HeatCase{1, true, true},
                                           HeatCase{kNamedColumns, true, true},
                                           HeatCase{kNamedColumns + 1, false, true},
                                           HeatCase{kTitledColumns + 1, false, false}));

}  // namespace
}  // namespace trelba
