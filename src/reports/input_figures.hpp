// The figures of one input, each on the page and in a figure file of its own (--figures):
// ENC against GC3s with Wright's curve, the ENC ratio's histogram, the neutrality plot, the
// PR2 plot, the correspondence analysis of the genes and of the codons, excess against
// codons, adaptation against excess, and each family's order values. Each axis is labelled
// with the column of the table it shows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reports/plot_data.hpp"
#include "reports/svg_canvas.hpp"

namespace trelba {

enum class InputFigure : std::uint8_t {
  kEnc,
  kEncRatio,
  kNeutrality,
  kParity,
  kCoaGenes,
  kCoaCodons,
  kExcess,
  kAdaptation,
  kFamilies,
};

struct InputFigureEntry {
  InputFigure figure;
  std::string_view name;     // in the figure file's name: INPUT.NAME.svg
  std::string_view caption;  // on the page
  bool reference = false;    // drawn only with a reference
  bool coa = false;          // drawn only with --coa
  bool scatter = true;       // of genes, with a top-genes table beside it on the page
};

extern const std::array<InputFigureEntry, 9> kInputFigures;

// The positions of the columns of a correspondence analysis on its first two axes.
struct CoaColumn {
  std::string label;  // the codon, or the amino acid
  double x = 0, y = 0;
  int third = -1;  // of a codon: its third base (T=0, C=1, A=2, G=3); -1 for an amino acid
};

struct CoaPlot {
  std::string_view kind;  // what was analysed: codons, rscu or aa
  std::array<double, 2> inertia_share{};
  std::vector<CoaColumn> columns;
};

// What an input's figures show.
struct FigureInput {
  const PlotData& plot;
  bool reference = false;        // its genes have values against a reference set
  const CoaPlot* coa = nullptr;  // its correspondence analysis, when the run makes one
};

// Whether a figure is drawn for an input.
bool Drawn(const InputFigureEntry& entry, bool reference, bool coa);

void DrawInputFigure(std::string& out, InputFigure figure, const FigureInput& input,
                     SvgTarget target);

// The table beside a scatter plot on the page: the genes of most adaptation (with a
// reference) or else of most excess, numbered as the plot marks them, with its two values.
void AppendTopGenes(std::string& out, InputFigure figure, const FigureInput& input);

}  // namespace trelba
