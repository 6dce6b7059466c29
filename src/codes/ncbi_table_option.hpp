// Reading an NCBI translation table number from the command line (`--gcode N`).
#pragma once

#include <string>
#include <string_view>

#include "codes/genetic_code.hpp"

namespace trelba {

inline constexpr std::string_view kNcbiTableOption = "--gcode";

struct NcbiTableChoice {
  const GeneticCode* code = nullptr;  // nullptr when `problem` says what is wrong
  std::string problem;                // one line for the usage error, without "Trelba: "
};

// The code of the table number `text`: decimal digits only (no sign, space or point;
// leading zeros allowed) naming a table NCBI defines.
NcbiTableChoice ChooseNcbiTable(std::string_view text);

}  // namespace trelba
