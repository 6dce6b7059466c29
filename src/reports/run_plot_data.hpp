// What the page and the figures show of the inputs together, gathered input by input: each
// input's point (its median ENC and GC3s, and its place in the correspondence analysis of
// the inputs), each input's RSCU and its reference's, and, when the inputs are overlaid
// (from 2 to kMostSections of them), up to kOverlayPoints genes of each (every s-th).
#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/synonymous_codons.hpp"
#include "reports/plot_data.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// Up to this many inputs each have a section of the page and are overlaid; a run of more is
// shown as a collection: its inputs together, one point each.
inline constexpr std::size_t kMostSections = 8;
inline constexpr std::size_t kOverlayPoints = 5000;

struct InputPoint {
  std::string name;
  std::size_t index = 0;  // among the inputs given
  double median_enc = 0, gc3s = 0;
  double coa1 = std::numeric_limits<double>::quiet_NaN();
  double coa2 = std::numeric_limits<double>::quiet_NaN();
};

struct RscuColumn {
  std::string name;
  bool reference = false;  // a reference set's (beside its genome)
  std::array<float, kCodonCount + 1> rscu{};
};

struct OverlayPoint {
  float gc3s, enc, gc12, g3_share, a3_share;
  bool id_cut;
  std::uint8_t id_size;
  std::array<char, kPlotIdBytes> id;
  std::string_view Id() const { return {id.data(), id_size}; }
};

struct OverlayInput {
  std::string name;
  std::size_t colour = 0;  // the input's place among the inputs given
  std::uint64_t stride = 1;
  std::vector<OverlayPoint> points;
};

class RunPlotData {
 public:
  RunPlotData(const SynonymousCodons& synonymous, std::size_t inputs);
  std::size_t inputs_given() const { return inputs_given_; }
  bool overlaid() const { return inputs_given_ >= 2 && inputs_given_ <= kMostSections; }
  bool sections() const { return inputs_given_ <= kMostSections; }

  // An input read whole: its name, its numbers and codons, and (may be null) those of the
  // reference set to show beside it.
  struct Input {
    std::size_t index;  // among the inputs given
    std::string_view name;
    const PlotData* plot;
    double median_enc, gc3s;
    const CodonCounts& pooled;
    const CodonCounts* reference = nullptr;
    std::string_view reference_name;
  };
  void AddInput(const Input& input);
  // A reference set's column on its own (a file whose genome is no input), before the rest.
  void AddReference(std::string_view name, const CodonCounts& pooled);
  // The inputs' coordinates in the correspondence analysis of the inputs, by their index
  // among the inputs given.
  void SetInputsCoa(const std::vector<std::array<double, 2>>& coordinates,
                    const std::array<double, 2>& inertia_share);

  const SynonymousCodons& synonymous() const { return synonymous_; }
  const std::vector<InputPoint>& points() const { return points_; }
  const std::vector<RscuColumn>& rscu() const { return rscu_; }
  const std::vector<OverlayInput>& overlay() const { return overlay_; }
  bool inputs_coa() const { return inputs_coa_; }
  const std::array<double, 2>& inputs_inertia() const { return inputs_inertia_; }

 private:
  void AddColumn(std::string name, bool reference, const CodonCounts& counts);

  const SynonymousCodons& synonymous_;
  std::size_t inputs_given_;
  std::vector<InputPoint> points_;
  std::vector<RscuColumn> rscu_;
  std::vector<OverlayInput> overlay_;
  bool inputs_coa_ = false;
  std::array<double, 2> inputs_inertia_{};
};

}  // namespace trelba
