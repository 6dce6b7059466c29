// The colours of values in the plots: a sequential scale (viridis, dark blue to yellow) and a
// diverging one (ColorBrewer's RdBu, blue through white to red), both read by the
// colour-blind, each a hex colour "#rrggbb" interpolated between fixed stops.
#pragma once

#include <string>

namespace trelba {

// t from 0 to 1 (clamped; NaN is grey).
std::string SequentialColour(double t);
// t from -1 (blue) through 0 (white) to 1 (red), clamped; NaN is grey.
std::string DivergingColour(double t);

}  // namespace trelba
