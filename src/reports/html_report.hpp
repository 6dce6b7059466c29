// The HTML report (--report FILE): one self-contained page, inline SVG and CSS, no script,
// no network, the same bytes for the same run. One section per input: its summary; score
// and excess against codons (log scale) with the median expected score of the run's
// background; the distribution of scores; each family's order values as a heat strip.
//
// What it keeps of an input is flat in memory: every sequence's point (codons, score,
// excess as floats) up to kMaxPlotPoints; beyond, every s-th sequence (s doubles, starting
// at 2, each time the points reach kMaxPlotPoints again, so that between half of that and
// that many are kept), and fixed bins of width kValueBinWidth for the scores and order
// values, which count every sequence. Up to kMaxDrawnPoints points are drawn one by one;
// more as a grid of bins shaded by how many points each holds.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/coding_checks.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "reports/output_buffer.hpp"
#include "trelba/tables.hpp"

namespace trelba {

inline constexpr std::size_t kMaxPlotPoints = 100000;
inline constexpr std::size_t kMaxDrawnPoints = 20000;
// The bins of scores and order values: kValueBins of them from kLowestValue to 1 (order
// values under the variants reach -0.638); values beyond go to the end bins.
inline constexpr int kValueBins = 70;
inline constexpr double kLowestValue = -0.75;
inline constexpr double kValueBinWidth = (1.0 - kLowestValue) / kValueBins;

struct PlotPoint {
  float codons;
  float score;
  float excess;  // NaN without a background
};

struct ValueBins {
  std::array<std::uint64_t, kValueBins> counts{};
  void Add(double value);
  void Add(const ValueBins& other);
  std::uint64_t total() const;
};

// The points of one batch of sequences and the bins of their order values.
struct PlotBatch {
  std::vector<PlotPoint> points;
  std::array<ValueBins, kFamilyCount + 1> families;  // by family number
  void Clear();
  // One sequence's point and order values (those the table gives, not NA).
  void Add(const GeneticCode& code, const CodingChecks& checks, const SequenceAnalysis& analysis,
           double excess);
};

// What the page shows of one input, gathered batch by batch in input order.
class PlotData {
 public:
  void Add(const PlotBatch& batch);
  const std::vector<PlotPoint>& points() const { return points_; }
  std::uint64_t stride() const { return stride_; }  // every stride-th point is kept
  std::uint64_t scored() const { return scored_; }  // sequences with a score
  const ValueBins& scores() const { return scores_; }
  const ValueBins& family(std::size_t f) const { return families_[f]; }

 private:
  void Keep(const PlotPoint& point);
  std::vector<PlotPoint> points_;
  std::uint64_t stride_ = 1;
  std::uint64_t scored_ = 0;
  ValueBins scores_;
  std::array<ValueBins, kFamilyCount + 1> families_;
};

// One input's section.
struct PageInput {
  std::string_view file;
  std::string_view error;  // empty for an input read to its end
  std::uint64_t sequences = 0;
  std::uint64_t codons = 0;
  double average = 0.0;  // of the positive scores; NaN when there is none
  double gc = 0.0;
  double gc3 = 0.0;
  std::uint64_t internal_stop_sequences = 0;
  std::uint64_t partial_sequences = 0;
  const PlotData* plot = nullptr;
};

class HtmlReport {
 public:
  // Writes the page's head, naming the run's code and background.
  HtmlReport(OutputBuffer& out, const GeneticCode& code, std::string_view background);
  void AddInput(const PageInput& input);
  // The overview of every input (shown first) and the page's end.
  void Finish();

 private:
  OutputBuffer& out_;
  std::string overview_;  // its rows
  std::size_t inputs_ = 0;
};

// The page's rendering of the text `text`: &, <, >, " escaped, control characters and
// bytes that are not UTF-8 as '?'.
void AppendHtmlText(std::string& out, std::string_view text);

}  // namespace trelba
