#include "reports/plot_data.hpp"

#include <cmath>

#include "reports/cell_text.hpp"

namespace trelba {

void ValueBins::Add(const BinRange& range, double value) {
  const double at = (value - range.low) / range.width;
  const int bin = at < 0.0 ? 0 : at >= range.count ? range.count - 1 : static_cast<int>(at);
  ++counts[static_cast<std::size_t>(bin)];
}

void ValueBins::Add(const ValueBins& other) {
  for (std::size_t b = 0; b < counts.size(); ++b) counts[b] += other.counts[b];
}

std::uint64_t ValueBins::total() const {
  std::uint64_t sum = 0;
  for (const std::uint64_t count : counts) sum += count;
  return sum;
}

PlotCodons PlotCodonsOf(const SynonymousCodons& synonymous) {
  return {CompositionCodonsOf(synonymous), FourFoldCodonsOf(synonymous)};
}

void SetPointId(PlotPoint& point, std::string_view id) {
  std::size_t size = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(id.data());
  const auto* const end = p + id.size();
  while (p != end) {
    const std::size_t length = *p < 0x80 ? 1 : std::max<std::size_t>(1, Utf8Length(p, end));
    if (size + length > kPlotIdBytes) break;
    size += length;
    p += length;
  }
  id.copy(point.id.data(), size);
  point.id_size = static_cast<std::uint8_t>(size);
  point.id_cut = size < id.size();
}

void PlotBatch::Clear() {
  points.clear();
  families = {};
  sequences = 0;
}

void PlotBatch::Add(std::string_view id, const CodonCounts& counts, const PlotCodons& codons,
                    const GeneticCode& code, const CodingChecks& checks,
                    const SequenceAnalysis& analysis, const PointValues& values) {
  ++sequences;
  if (std::isnan(analysis.score)) return;
  PlotPoint& point = points.emplace_back();
  point.sequence = sequences;
  point.codons = static_cast<float>(checks.codons);
  point.excess = static_cast<float>(values.excess);
  point.enc = static_cast<float>(values.enc);
  point.gc3s = static_cast<float>(values.gc3s);
  point.gc12 = static_cast<float>(CompositionOf(codons.composition, counts).gc12);
  point.enc_ratio = static_cast<float>(EncRatio(values.enc, values.gc3s));
  const ParityShares parity = ParitySharesOf(codons.four_fold, counts);
  point.g3_share = static_cast<float>(parity.g3);
  point.a3_share = static_cast<float>(parity.a3);
  SetPointId(point, id);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f == kStopFamily || code.divisor[f] == 0 || analysis.totals[f] == 0.0) continue;
    families[f].Add(kOrderValueBins, analysis.order[f]);
  }
}

void PlotData::Keep(const PlotPoint& point) {
  if (scored_++ % stride_ != 0) return;
  // Room for every point there can be, had once: its pages are touched only as points come,
  // and growing by doubling would leave the smaller copies' pages behind.
  if (points_.capacity() == 0) points_.reserve(kMaxPlotPoints);
  points_.push_back(point);
  if (points_.size() < kMaxPlotPoints) return;
  // Every other kept point goes: those left are every (2 stride)-th sequence.
  stride_ *= 2;
  for (std::size_t i = 0; 2 * i < points_.size(); ++i) points_[i] = points_[2 * i];
  points_.resize((points_.size() + 1) / 2);
}

void PlotData::Add(const PlotBatch& batch) {
  for (PlotPoint point : batch.points) {
    point.sequence += sequences_;
    if (!std::isnan(point.enc_ratio)) enc_ratios_.Add(kEncRatioBins, point.enc_ratio);
    if (!std::isnan(point.gc3s) && !std::isnan(point.gc12)) {
      neutrality_.Add(point.gc3s, point.gc12);
    }
    if (!std::isnan(point.g3_share) && !std::isnan(point.a3_share)) {
      ++parity_genes_;
      g3_sum_ += point.g3_share;
      a3_sum_ += point.a3_share;
    }
    // The genes of most excess: a point enters ahead of the first of less excess.
    if (!std::isnan(point.excess) &&
        (most_excess_.size() < kTopGenes || point.excess > most_excess_.back().excess)) {
      if (most_excess_.capacity() == 0) most_excess_.reserve(kTopGenes + 1);
      auto at = most_excess_.begin();
      while (at != most_excess_.end() && at->excess >= point.excess) ++at;
      most_excess_.insert(at, point);
      if (most_excess_.size() > kTopGenes) most_excess_.pop_back();
    }
    Keep(point);
  }
  sequences_ += batch.sequences;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) families_[f].Add(batch.families[f]);
}

// Sets the values of sequence `sequence` on its kept point and on its copy among the genes
// of most excess; the sequences come in input order, so `cursor` only moves on.
template <class Set>
void PlotData::Update(std::uint64_t sequence, std::size_t& cursor, Set&& set) {
  while (cursor < points_.size() && points_[cursor].sequence < sequence) ++cursor;
  if (cursor < points_.size() && points_[cursor].sequence == sequence) set(points_[cursor]);
  for (PlotPoint& point : most_excess_) {
    if (point.sequence == sequence) set(point);
  }
}

void PlotData::AddReferenceValues(std::uint64_t sequence, double cai, double adaptation,
                                  bool in_reference) {
  Update(sequence, reference_cursor_, [&](PlotPoint& point) {
    point.cai = static_cast<float>(cai);
    point.adaptation = static_cast<float>(adaptation);
    point.in_reference = in_reference;
  });
}

void PlotData::AddCoaValues(std::uint64_t sequence, double coa1, double coa2) {
  Update(sequence, coa_cursor_, [&](PlotPoint& point) {
    point.coa1 = static_cast<float>(coa1);
    point.coa2 = static_cast<float>(coa2);
  });
}

double PlotData::mean_g3_share() const {
  return parity_genes_ == 0 ? std::nan("") : g3_sum_ / static_cast<double>(parity_genes_);
}

double PlotData::mean_a3_share() const {
  return parity_genes_ == 0 ? std::nan("") : a3_sum_ / static_cast<double>(parity_genes_);
}

}  // namespace trelba
