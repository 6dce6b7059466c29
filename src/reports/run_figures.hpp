// The figures of the inputs together, each on the page and in a figure file of its own
// (--figures): from 2 to kMostSections inputs, ENC against GC3s, the neutrality plot and the
// PR2 plot with the inputs overlaid, a colour each; from 3 inputs, each input's median ENC
// against its GC3s and, with --coa, the correspondence analysis of the inputs, one point an
// input; and always the RSCU heat map.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "reports/run_plot_data.hpp"
#include "reports/svg_canvas.hpp"

namespace trelba {

enum class RunFigure : std::uint8_t {
  kOverlayEnc,
  kOverlayNeutrality,
  kOverlayParity,
  kInputsEnc,
  kInputsCoa,
  kRscu,
};

struct RunFigureEntry {
  RunFigure figure;
  std::string_view name;  // in the figure file's name: inputs.NAME.svg
  std::string_view caption;
  std::size_t fewest_inputs;
  bool overlay = false;  // up to kMostSections inputs
  bool coa = false;      // with --coa
};

extern const std::array<RunFigureEntry, 6> kRunFigures;

// The beginning of a figure file's name of the inputs together.
inline constexpr std::string_view kRunFigurePrefix = "inputs";

// Whether a figure is drawn for a run of `inputs` inputs.
bool Drawn(const RunFigureEntry& entry, std::size_t inputs, bool coa);

void DrawRunFigure(std::string& out, RunFigure figure, const RunPlotData& run, SvgTarget target);

}  // namespace trelba
