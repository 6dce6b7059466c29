// A reproducible FASTA input of many sequences, large enough that every report is written
// in several blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace trelba::test {

inline std::string SyntheticGenes(std::size_t sequences, std::size_t codons) {
  static constexpr char kBases[] = "TCAG";
  std::uint64_t state = 0x9e3779b97f4a7c15u;
  std::string fasta;
  fasta.reserve(sequences * (codons * 3 + 16));
  for (std::size_t s = 0; s < sequences; ++s) {
    fasta += ">gene" + std::to_string(s) + "\n";
    for (std::size_t i = 0; i < codons * 3; ++i) {
      state = state * 6364136223846793005u + 1442695040888963407u;
      // Skewed towards some codons, as real genes are.
      const auto pick = static_cast<unsigned>((state >> 60) % 7);
      fasta += kBases[pick < 4 ? pick : pick - 4];
      if (i % 60 == 59) fasta += '\n';
    }
    fasta += '\n';
  }
  return fasta;
}

}  // namespace trelba::test
