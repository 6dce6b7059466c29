// What the codons of one sequence say of it as a coding sequence: its GC content overall
// and at third positions, and stop codons before its last codon.
#pragma once

#include <cstdint>

#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "input/sequence_facts.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

struct CodingChecks {
  std::uint64_t codons = 0;          // codons counted
  std::uint64_t gc_bases = 0;        // G and C among their bases
  std::uint64_t gc3_codons = 0;      // codons with G or C in the third position
  std::uint64_t internal_stops = 0;  // stop codons of the code before the last triple
  SynonymousThirds thirds;           // third positions of synonymous codons (GC3s)

  void Add(const CodingChecks& other) {
    codons += other.codons;
    gc_bases += other.gc_bases;
    gc3_codons += other.gc3_codons;
    internal_stops += other.internal_stops;
    thirds.Add(other.thirds);
  }
};

CodingChecks CheckCoding(const GeneticCode& code, const CodonCounts& counts,
                         const SequenceFacts& facts);

// G and C among the bases of counted codons, and at their third positions, as fractions;
// NaN when no codon was counted.
double GcContent(const CodingChecks& checks);
double Gc3Content(const CodingChecks& checks);

}  // namespace trelba
