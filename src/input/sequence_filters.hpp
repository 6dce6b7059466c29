// Which sequences a run keeps (--cds-only, --min-codons) and whether the indices of codon
// usage read a sequence's first codon (--skip-first-codon).
#pragma once

#include <cstdint>

#include "input/sequence_facts.hpp"

namespace trelba {

struct SequenceFilters {
  std::uint64_t min_codons = 0;   // --min-codons: fewer codons leave a sequence out
  bool cds_only = false;          // --cds-only
  bool skip_first_codon = false;  // --skip-first-codon
  bool any() const { return min_codons != 0 || cds_only; }
};

// Why a sequence is left out, in the order the reasons are tried.
enum class LeftOut { kKept, kRna, kPseudogene, kStops, kFrame, kShort };

// The reason `filters` leave out a sequence of `facts`, `codons` codons and
// `internal_stops` stop codons before its last triple, or kKept.
inline LeftOut Judge(const SequenceFilters& filters, const SequenceFacts& facts,
                     std::uint64_t codons, std::uint64_t internal_stops) {
  if (filters.cds_only) {
    if (facts.rna) return LeftOut::kRna;
    if (facts.pseudogene) return LeftOut::kPseudogene;
    if (internal_stops != 0) return LeftOut::kStops;
    if (facts.partial_letters != 0) return LeftOut::kFrame;
  }
  return codons < filters.min_codons ? LeftOut::kShort : LeftOut::kKept;
}

}  // namespace trelba
