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
    for (std::size_t i = 0; i < codons * 3; i += 3) {
      char codon[3];
      do {
        for (char& base : codon) {
          state = state * 6364136223846793005u + 1442695040888963407u;
          // Skewed towards some codons, as real genes are.
          const auto pick = static_cast<unsigned>((state >> 60) % 7);
          base = kBases[pick < 4 ? pick : pick - 4];
        }
        // No stop codon inside a gene, as in real ones.
      } while (codon[0] == 'T' && ((codon[1] == 'A' && (codon[2] == 'A' || codon[2] == 'G')) ||
                                   (codon[1] == 'G' && codon[2] == 'A')));
      for (std::size_t b = 0; b < 3; ++b) {
        fasta += codon[b];
        if ((i + b) % 60 == 59) fasta += '\n';
      }
    }
    fasta += '\n';
  }
  return fasta;
}

}  // namespace trelba::test
