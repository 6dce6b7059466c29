#include "reports/run_plot_data.hpp"

#include "analysis/relative_usage.hpp"

namespace trelba {

RunPlotData::RunPlotData(const SynonymousCodons& synonymous, std::size_t inputs)
    : synonymous_(synonymous), inputs_given_(inputs) {}

void RunPlotData::AddColumn(std::string name, bool reference, const CodonCounts& counts) {
  CodonValues values;
  CodonRscu(synonymous_, counts, values);
  RscuColumn& column = rscu_.emplace_back();
  column.name = std::move(name);
  column.reference = reference;
  for (std::size_t c = 1; c <= kCodonCount; ++c) column.rscu[c] = static_cast<float>(values[c]);
}

void RunPlotData::AddReference(std::string_view name, const CodonCounts& pooled) {
  AddColumn(std::string(name), true, pooled);
}

void RunPlotData::AddInput(const Input& input) {
  points_.push_back({std::string(input.name), input.index, input.median_enc, input.gc3s});
  AddColumn(std::string(input.name), false, input.pooled);
  if (input.reference != nullptr) {
    AddColumn(std::string(input.reference_name), true, *input.reference);
  }
  if (!overlaid() || input.plot == nullptr) return;
  OverlayInput& overlay = overlay_.emplace_back();
  overlay.name = input.name;
  overlay.colour = input.index;
  const std::vector<PlotPoint>& points = input.plot->points();
  overlay.stride = (points.size() + kOverlayPoints - 1) / kOverlayPoints;
  if (overlay.stride == 0) overlay.stride = 1;
  overlay.points.reserve(points.size() / overlay.stride + 1);
  for (std::size_t i = 0; i < points.size(); i += overlay.stride) {
    const PlotPoint& p = points[i];
    overlay.points.push_back(
        {p.gc3s, p.enc, p.gc12, p.g3_share, p.a3_share, p.id_cut, p.id_size, p.id});
  }
  overlay.stride *= input.plot->stride();
}

void RunPlotData::SetInputsCoa(const std::vector<std::array<double, 2>>& coordinates,
                               const std::array<double, 2>& inertia_share) {
  inputs_coa_ = true;
  inputs_inertia_ = inertia_share;
  for (InputPoint& point : points_) {
    if (point.index >= coordinates.size()) continue;
    point.coa1 = coordinates[point.index][0];
    point.coa2 = coordinates[point.index][1];
  }
}

}  // namespace trelba
