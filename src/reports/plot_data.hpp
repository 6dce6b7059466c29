// What the HTML report and the figures keep of one input, flat in memory: every sequence's
// point (its id cut to kPlotIdBytes and its numbers as floats) up to kMaxPlotPoints; beyond,
// every s-th sequence (s doubles, starting at 2, each time the points reach kMaxPlotPoints
// again, so that between half of that and that many are kept). Counted over every
// sequence, not only the kept ones: the bins of order values and of the ENC ratio, the
// neutrality plot's line, the PR2 plot's means and the genes of most excess.
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "analysis/coding_checks.hpp"
#include "analysis/gene_composition.hpp"
#include "analysis/line_fit.hpp"
#include "analysis/parity_rule.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

inline constexpr std::size_t kMaxPlotPoints = 40000;
inline constexpr std::size_t kPlotIdBytes = 40;
// The genes of a top-genes table.
inline constexpr std::size_t kTopGenes = 10;

// Fixed bins of width `width` from `low`, `count` of them; values beyond go to the end bins.
struct BinRange {
  double low;
  double width;
  int count;
  double Edge(std::size_t bin) const { return low + static_cast<double>(bin) * width; }
};
// Of scores and order values (order values under the variants reach -0.638).
inline constexpr BinRange kOrderValueBins{-0.75, 0.025, 70};
// Of the ENC ratio.
inline constexpr BinRange kEncRatioBins{-0.5, 0.025, 60};
inline constexpr int kMostBins = 70;

struct ValueBins {
  std::array<std::uint64_t, kMostBins> counts{};
  void Add(const BinRange& range, double value);
  void Add(const ValueBins& other);
  std::uint64_t total() const;
};

constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

struct PlotPoint {
  std::uint64_t sequence = 0;  // its number among the input's sequences not left out
  float codons = 0;
  float excess = kNoValue;  // NaN without a background
  float enc = kNoValue;
  float gc3s = kNoValue;
  float gc12 = kNoValue;
  float enc_ratio = kNoValue;
  float g3_share = kNoValue;  // G3 / (G3 + C3) at four-fold sites
  float a3_share = kNoValue;  // A3 / (A3 + T3) at four-fold sites
  // Against a reference set, and whether it is one of its genes.
  float cai = kNoValue;
  float adaptation = kNoValue;
  // The first two axes of the correspondence analysis of the input's genes.
  float coa1 = kNoValue;
  float coa2 = kNoValue;
  bool in_reference = false;
  bool id_cut = false;  // the id was longer than kPlotIdBytes
  std::uint8_t id_size = 0;
  std::array<char, kPlotIdBytes> id{};
  std::string_view Id() const { return {id.data(), id_size}; }
};

// What a point reads of a sequence's counts, made once for the run's code.
struct PlotCodons {
  CompositionCodons composition;
  FourFoldCodons four_fold;
};
PlotCodons PlotCodonsOf(const SynonymousCodons& synonymous);

// The numbers of a sequence the page shows, from the same functions as the table's columns.
struct PointValues {
  double excess;
  double enc;
  double gc3s;
};

// The points of one batch of sequences and the bins of their order values.
struct PlotBatch {
  std::vector<PlotPoint> points;
  std::array<ValueBins, kFamilyCount + 1> families;  // by family number
  std::uint64_t sequences = 0;                       // analysed (not left out), with a score or not
  void Clear();
  // Counts a sequence analysed, and gives it a point and order values (those the table
  // gives, not NA) when it has a score. `counts` are those its indices read.
  void Add(std::string_view id, const CodonCounts& counts, const PlotCodons& codons,
           const GeneticCode& code, const CodingChecks& checks, const SequenceAnalysis& analysis,
           const PointValues& values);
};

// What the page shows of one input, gathered batch by batch in input order.
class PlotData {
 public:
  void Add(const PlotBatch& batch);
  // The values against a reference of sequence `sequence`, given in input order once the
  // input is read; kept when the sequence's point is.
  void AddReferenceValues(std::uint64_t sequence, double cai, double adaptation, bool in_reference);
  // Its coordinates on the first two axes of the genes' correspondence analysis, likewise.
  void AddCoaValues(std::uint64_t sequence, double coa1, double coa2);

  const std::vector<PlotPoint>& points() const { return points_; }
  std::uint64_t stride() const { return stride_; }  // every stride-th point is kept
  std::uint64_t scored() const { return scored_; }  // sequences with a score
  const ValueBins& family(std::size_t f) const { return families_[f]; }
  const ValueBins& enc_ratios() const { return enc_ratios_; }
  const LineFit& neutrality() const { return neutrality_; }  // gc12 on gc3s
  // The genes' mean G3 / (G3 + C3) and A3 / (A3 + T3) at four-fold sites, of the genes
  // that have both.
  double mean_g3_share() const;
  double mean_a3_share() const;
  // The genes of most excess, most first (the first in input order of equals).
  const std::vector<PlotPoint>& most_excess() const { return most_excess_; }

 private:
  void Keep(const PlotPoint& point);
  template <class Set>
  void Update(std::uint64_t sequence, std::size_t& cursor, Set&& set);

  std::vector<PlotPoint> points_;
  std::uint64_t stride_ = 1;
  std::uint64_t scored_ = 0;
  std::uint64_t sequences_ = 0;       // of the batches added
  std::size_t reference_cursor_ = 0;  // the next point AddReferenceValues may meet
  std::size_t coa_cursor_ = 0;        // likewise for AddCoaValues
  std::array<ValueBins, kFamilyCount + 1> families_;
  ValueBins enc_ratios_;
  LineFit neutrality_;
  std::uint64_t parity_genes_ = 0;
  double g3_sum_ = 0.0, a3_sum_ = 0.0;
  std::vector<PlotPoint> most_excess_;
};

// A gene's id as its point keeps it: cut between UTF-8 characters to kPlotIdBytes.
void SetPointId(PlotPoint& point, std::string_view id);

}  // namespace trelba
