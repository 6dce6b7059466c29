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
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/coding_checks.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "reports/output_buffer.hpp"
#include "reports/row_cells.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

inline constexpr std::size_t kMaxPlotPoints = 100000;
inline constexpr std::size_t kMaxDrawnPoints = 20000;
// The bins of scores and order values: kValueBins of them from kLowestValue to 1 (order
// values under the variants reach -0.638); values beyond go to the end bins.
inline constexpr int kValueBins = 70;
inline constexpr double kLowestValue = -0.75;
inline constexpr double kValueBinWidth = (1.0 - kLowestValue) / kValueBins;

struct PlotPoint {
  std::uint64_t sequence;  // its number in the input
  float codons;
  float score;
  float excess;  // NaN without a background
  float enc;
  float gc3s;
  // Against a reference set (NaN without one), and whether it is one of its genes.
  float cai = std::numeric_limits<float>::quiet_NaN();
  float adaptation = std::numeric_limits<float>::quiet_NaN();
  bool in_reference = false;
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
  void Add(std::uint64_t sequence, const GeneticCode& code, const CodingChecks& checks,
           const SequenceAnalysis& analysis, double excess, double enc);
};

// What the page shows of one input, gathered batch by batch in input order.
class PlotData {
 public:
  void Add(const PlotBatch& batch);
  // The values against a reference of sequence `sequence`, given in input order once the
  // input is read; kept when the sequence's point is.
  void AddReferenceValues(std::uint64_t sequence, double cai, double adaptation, bool in_reference);
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
  std::size_t reference_cursor_ = 0;  // the next point AddReferenceValues may meet
  ValueBins scores_;
  std::array<ValueBins, kFamilyCount + 1> families_;
};

// One input's section: its numbers as its summary row gives them, and its points.
struct PageInput {
  const SummaryCells& row;
  const PlotData* plot = nullptr;  // null for an input that failed
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
