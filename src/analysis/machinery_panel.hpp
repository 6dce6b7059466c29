// The proteins --reference auto aligns genes to when no header names the translation
// machinery: cytosolic ribosomal proteins and elongation factors (EF-Tu / EF-1A, EF-G / EF-2,
// EF-Ts) of bacteria, archaea and eukaryotes, the decoys (those of mitochondria and
// chloroplasts), and the BLOSUM62 scores. Written by scripts/generate_machinery_panel.py;
// docs/machinery_panel.md gives their sources and licences.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace trelba {

// The twenty amino acids in BLOSUM order (ARNDCQEGHILKMFPSTWYV), then X for a triple that is
// no codon or an internal stop.
inline constexpr std::size_t kResidueKinds = 21;
inline constexpr std::uint8_t kUnknownResidue = 20;
inline constexpr std::string_view kResidueLetters = "ARNDCQEGHILKMFPSTWYVX";

struct PanelProtein {
  std::string_view name;      // source:gene
  bool decoy;                 // of a mitochondrion or a chloroplast
  std::string_view residues;  // one letter each (kResidueLetters)
};

extern const std::array<std::array<std::int8_t, kResidueKinds>, kResidueKinds> kBlosum62;
extern const std::span<const PanelProtein> kPanel;

}  // namespace trelba
