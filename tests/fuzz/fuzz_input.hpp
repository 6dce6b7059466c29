// How a fuzzer's bytes become one run: a genetic-code argument, the size of the pieces
// the reader is fed, and the FASTA text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codes/genetic_code.hpp"
#include "codes/ncbi_table_option.hpp"

namespace trelba::fuzz {

struct FuzzRun {
  std::string_view code;  // 0 to 3 bytes; "g" and a number: that NCBI table
  std::size_t piece = 0;  // 0: the whole text at once
  std::string_view text;
};

// Byte 0: low 2 bits the length of the code argument, the rest the piece size
// (0 = whole text, else 1 to 63 bytes); then the code argument; then the text.
inline FuzzRun SplitFuzzInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  if (size == 0) return run;
  const std::size_t code_size = std::min<std::size_t>(data[0] & 3u, size - 1);
  run.piece = data[0] >> 2;
  const char* bytes = reinterpret_cast<const char*>(data);
  run.code = std::string_view(bytes + 1, code_size);
  run.text = std::string_view(bytes + 1 + code_size, size - 1 - code_size);
  return run;
}

// The genetic code of a run's code argument: "g2" to "g33" an NCBI table (as `--gcode N`),
// anything else the variant that argument selects.
inline const GeneticCode& FuzzCode(std::string_view code) {
  if (!code.empty() && code[0] == 'g') {
    if (const GeneticCode* ncbi = ChooseNcbiTable(code.substr(1)).code) return *ncbi;
  }
  return SelectGeneticCode(code);
}

}  // namespace trelba::fuzz
