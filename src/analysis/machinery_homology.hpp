// Whether a gene's protein resembles one of the panel's ribosomal proteins or elongation
// factors (machinery_panel.hpp): found where no header names them.
//
// The gene is translated with the run's amino acids; the panel proteins that share the most
// three-residue words with it (at least kMinSharedWords, and
// kChanceWordsTimes as many as chance gives) are aligned to it, along the diagonals where
// most of those words lie
// (protein_alignment.hpp), and it resembles one when the alignment scores at least
// kHomologShare of that protein's score against itself. Lower shares took look-alike GTPases
// (the elongation factors' kin). The decoy that shares the most words is aligned too: a gene
// it matches as well as (by the same share) the best cytosolic protein is a mitochondrion's
// or a chloroplast's paralog, none of the cytosolic machinery. All buffers are made once: nothing
// is allocated per gene.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/synonymous_codons.hpp"

namespace trelba {

// Genes of more amino acids are none of the machinery (eukaryotic EF-2 has about 850).
inline constexpr std::size_t kMaxMachineryResidues = 1500;
// Nor of fewer (the smallest ribosomal protein, L36, has 38).
inline constexpr std::size_t kMinMachineryResidues = 30;
inline constexpr unsigned kMinSharedWords = 8;
inline constexpr unsigned kChanceWordsTimes = 2;
inline constexpr unsigned kAlignedCandidates = 2;  // cytosolic; and one decoy
// A candidate is aligned within kBand places of the diagonal band of 2 * kBand + 1
// diagonals that holds the most shared words, when it holds at least kMinDiagonalWords.
inline constexpr std::ptrdiff_t kBand = 24;
inline constexpr unsigned kMinDiagonalWords = 6;
// As a fraction kHomologShareTenths / 10.
inline constexpr int kHomologShareTenths = 4;

class MachineryHomology {
 public:
  explicit MachineryHomology(const SynonymousCodons& synonymous);

  // Whether the body's protein (`size` bytes of bases and whitespace) resembles a panel
  // protein.
  bool Resembles(const char* body, std::size_t size);

 private:
  std::array<std::uint8_t, kCodonCount + 1> residue_of_{};  // kUnknownResidue for stops
  std::array<std::uint8_t, kMaxMachineryResidues + 1> protein_{};
  // The offset of the band that holds the most words shared with panel protein p, or false.
  bool BestBand(std::uint32_t p, std::size_t n, std::ptrdiff_t& offset);

  std::vector<std::uint16_t> shared_;    // words shared with each panel protein
  std::vector<std::uint16_t> place_of_;  // of every word in one panel protein, from 1
  std::vector<std::uint16_t> diagonal_;  // shared words on each diagonal
  std::vector<std::int32_t> h_, e_;      // the alignment's rows
};

}  // namespace trelba
