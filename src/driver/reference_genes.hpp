// The genes of a reference file by their sequence, and the sequences of an input that are
// one of them: identical letters (input/sequence_digest.hpp) and so identical codon counts.
// A sequence's counts are looked up first; only a sequence whose counts are a reference
// gene's has its letters digested (a body too long to keep was digested as it arrived).
#pragma once

#include <cstdint>
#include <vector>

#include "driver/sequence_batch.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

class ReferenceGenes {
 public:
  // Adds a gene (before Seal); identical genes count once.
  void Add(const CodonCounts& counts, std::uint64_t digest);
  void Seal();
  // The number of distinct genes.
  std::size_t size() const { return keys_.size(); }
  // The gene identical to the record `record` of `batch` (counted), or -1.
  std::ptrdiff_t Find(const SequenceBatch& batch, const SequenceRecord& record) const;

 private:
  struct Key {
    std::uint64_t counts;  // CountsKey
    std::uint64_t digest;
    auto operator<=>(const Key&) const = default;
  };
  std::vector<Key> keys_;
};

// What an input's sequences have of the reference's genes, gathered in input order.
struct ReferenceMatches {
  const ReferenceGenes* genes = nullptr;  // null: none are sought
  ReferenceGenes* collect = nullptr;      // reading the reference itself: every gene added
  CodonCounts pooled{};                   // the counts of the sequences that are a gene
  std::vector<bool> seen;                 // which genes were found
  std::uint64_t distinct = 0;             // how many genes were found
};

// Adds the analysed (or counted) records of `batch` to `matches`, and marks those that are
// a gene (kMarkReferenceFile, kept with their counts).
void MatchReferenceGenes(SequenceBatch& batch, ReferenceMatches& matches);

}  // namespace trelba
