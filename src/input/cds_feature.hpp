// One coding sequence found in an annotation, kept until the sequence it is cut from has
// been read: where its stretches lie, how it reads and what it is called.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "input/feature_location.hpp"
#include "input/spill_store.hpp"

namespace trelba {

struct CdsFeature {
  std::uint64_t line = 0;           // of the feature in its file
  std::vector<LocationPart> parts;  // in reading order
  std::uint8_t skip = 0;            // bases before the first codon (codon_start - 1, phase)
  std::uint16_t transl_table = 0;   // 0 when not given
  std::string id;                   // of the table
  std::string description;
};

// The identifier and description a feature's qualifiers (or attributes) give: the
// locus tag, else the gene, else the protein id, else `fallback`; "[gene=...]
// [protein=...]" of those given, as NCBI's coding-sequence FASTA writes them.
struct FeatureNames {
  std::string locus_tag, gene, protein_id, product;
  void Clear() { locus_tag.clear(), gene.clear(), protein_id.clear(), product.clear(); }
};
void NameFeature(const FeatureNames& names, const std::string& fallback, CdsFeature& feature);

// Adds `feature` at the end of `store`; false when it cannot be kept.
bool KeepFeature(SpillStore& store, const CdsFeature& feature, std::string& scratch);
// Reads the feature at `offset` of `store` into `feature` and moves `offset` past it;
// false when it is not all there.
bool TakeFeature(SpillStore& store, std::uint64_t& offset, CdsFeature& feature);

}  // namespace trelba
