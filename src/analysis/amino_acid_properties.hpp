// What the protein indices read of each amino acid, by family number (kFamilyNames): Kyte
// & Doolittle's hydropathy (1982) in tenths, so that a gene's sum is a whole number, and
// whether it is aromatic (Phe, Tyr, Trp; Lobry & Gautier 1994). The stop family and
// element 0 hold nothing.
#pragma once

#include <array>

#include "trelba/codons_and_families.hpp"

namespace trelba {

struct AminoAcidProperties {
  int hydropathy_tenths = 0;
  bool aromatic = false;
};

inline constexpr std::array<AminoAcidProperties, kFamilyCount + 1> kAminoAcidProperties = {{
    {0, false},    // (none)
    {28, true},    // Phe
    {38, false},   // Leu
    {-8, false},   // Ser
    {-13, true},   // Tyr
    {0, false},    // stop
    {25, false},   // Cys
    {-9, true},    // Trp
    {-16, false},  // Pro
    {-32, false},  // His
    {-35, false},  // Gln
    {-45, false},  // Arg
    {45, false},   // Ile
    {19, false},   // Met
    {-7, false},   // Thr
    {-35, false},  // Asn
    {-39, false},  // Lys
    {42, false},   // Val
    {18, false},   // Ala
    {-35, false},  // Asp
    {-35, false},  // Glu
    {-4, false},   // Gly
}};

}  // namespace trelba
