// A reproducible genome of 1,000 genes for the reference search: each gene's amino acids
// drawn evenly, its codons evenly within each amino acid (standard code), but for a
// planted group of 10 highly expressed genes whose codons prefer C, then G, at the third
// position, and, with a decoy, 10 more genes that prefer T, then A (an AT-rich group of
// foreign genes, whose excess is the highest).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trelba::test {

inline std::string PlantedGenome(bool decoy, bool plant = true) {
  constexpr std::string_view kBases = "TCAG";
  constexpr std::string_view kAcids =
      "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG";
  constexpr std::string_view kChoice = "FLSYCPHQRITNKVADEG";  // amino acids of 2 or more codons
  std::uint64_t state = 0x2545f4914f6cdd1dULL;
  const auto next = [&](std::uint64_t below) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return (state >> 33) % below;
  };
  // Third-base weights: T, C, A, G.
  constexpr std::array<unsigned, 4> kEven = {1, 1, 1, 1}, kHighlyExpressed = {1, 8, 1, 3},
                                    kAtRich = {12, 1, 4, 1};
  std::string fasta;
  for (int g = 0; g < 1000; ++g) {
    const bool planted = plant && g >= 100 && g < 470 && (g - 100) % 37 == 0;
    const bool foreign = decoy && g >= 500 && g < 630 && (g - 500) % 13 == 0;
    const std::array<unsigned, 4>& weights = planted ? kHighlyExpressed : foreign ? kAtRich : kEven;
    fasta += planted ? ">heg" : foreign ? ">at" : ">g";
    fasta += std::to_string(g) + "\nATG";
    const std::uint64_t length = 150 + next(150);
    for (std::uint64_t i = 0; i < length; ++i) {
      const char acid = kChoice[next(kChoice.size())];
      unsigned total = 0;
      for (std::size_t c = 0; c < 64; ++c) total += kAcids[c] == acid ? weights[c % 4] : 0;
      std::uint64_t pick = next(total);
      for (std::size_t c = 0; c < 64; ++c) {
        if (kAcids[c] != acid) continue;
        if (pick < weights[c % 4]) {
          fasta += {kBases[c / 16], kBases[c / 4 % 4], kBases[c % 4]};
          break;
        }
        pick -= weights[c % 4];
      }
    }
    fasta += "TAA\n";
  }
  return fasta;
}

}  // namespace trelba::test
