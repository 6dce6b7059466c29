// The CDS lines of a GFF3 file, kept until the genome's sequences are read: each line in
// a store (in memory up to a bound, past it in a temporary file), and in memory only an
// index of 24 bytes a line by sequence and by CDS. The CDS lines of one parent (else of
// one ID) make one coding sequence: its stretches in the order of the strand, the phase of
// the first one the bases before its first codon. Its name and description follow the
// rule of GenBank's features (cds_feature.hpp) from the attributes locus_tag, gene,
// protein_id and product, with the ID (else the parent) as the last fallback.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/annotation_tally.hpp"
#include "input/cds_feature.hpp"
#include "input/spill_store.hpp"

namespace trelba {

class GffAnnotation {
 public:
  GffAnnotation();

  void Clear();
  // Reads line `number` of the file: a CDS line is kept, other lines are passed over. False
  // when the store cannot keep it (error()).
  bool AddLine(std::string_view line, std::uint64_t number);
  // Ends the lines: the index is sorted.
  void Seal();
  // Starts reading a genome against the annotation: no coding sequence read yet, the tally
  // as the lines left it.
  void BeginGenome();

  // Hands each coding sequence on the sequence named `name` to `cut(feature)`, in the
  // order of their first lines; false when the store cannot be read back.
  template <class Cut>
  bool ForEachCds(std::string_view name, Cut&& cut);
  // Counts the coding sequences on sequences never asked for into the tally.
  bool TallyUnread();

  const AnnotationTally& tally() const { return tally_; }
  AnnotationTally& tally() { return tally_; }
  bool failed() const { return store_.failed(); }
  const FailureCause& error() const { return store_.error(); }

 private:
  struct Key {
    std::uint64_t sequence;  // hash of the sequence's name
    std::uint64_t parent;    // hash of the parent (or ID)
    std::uint64_t offset;    // of the line in the store; its top bit: the line was read
  };
  struct Entry {  // one CDS line, as stored
    std::uint64_t line = 0;
    LocationPart part;
    std::uint8_t phase = 0;
    std::uint16_t transl_table = 0;
    bool pseudo = false;
    std::string sequence, parent, id, description;
  };
  struct Group {
    std::size_t begin, end;  // in keys_
    std::uint64_t first;     // offset of its first line
  };

  bool Take(std::uint64_t offset, Entry& entry);
  // The coding sequence of keys_[begin, end): false when it cannot be read back.
  template <class Cut>
  bool CutGroup(std::string_view name, std::size_t begin, std::size_t end, Cut&& cut);

  SpillStore store_;
  std::vector<Key> keys_;
  bool sealed_ = false;
  AnnotationTally tally_;
  AnnotationTally lines_tally_;  // of the lines alone
  // Scratch space, reused.
  std::string bytes_;
  FeatureNames names_;
  std::string fallback_;
  Entry entry_, first_;
  std::vector<Group> groups_;
  CdsFeature feature_;
};

// A hash of a name (FNV-1a, 64 bits).
std::uint64_t NameHash(std::string_view name);

template <class Cut>
bool GffAnnotation::ForEachCds(std::string_view name, Cut&& cut) {
  const std::uint64_t hash = NameHash(name);
  auto range = std::equal_range(keys_.begin(), keys_.end(), Key{hash, 0, 0},
                                [](const Key& a, const Key& b) { return a.sequence < b.sequence; });
  groups_.clear();
  for (auto k = range.first; k != range.second;) {
    auto next = k;
    while (next != range.second && next->parent == k->parent) ++next;
    groups_.push_back(Group{static_cast<std::size_t>(k - keys_.begin()),
                            static_cast<std::size_t>(next - keys_.begin()),
                            k->offset & ~(1ull << 63)});
    k = next;
  }
  std::sort(groups_.begin(), groups_.end(),
            [](const Group& a, const Group& b) { return a.first < b.first; });
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    const Group group = groups_[g];
    if (!CutGroup(name, group.begin, group.end, cut)) return false;
  }
  return true;
}

template <class Cut>
bool GffAnnotation::CutGroup(std::string_view name, std::size_t begin, std::size_t end, Cut&& cut) {
  feature_.parts.clear();
  bool pseudo = false;
  bool mixed = false;
  bool have_first = false;
  for (std::size_t k = begin; k != end; ++k) {
    if (!Take(keys_[k].offset & ~(1ull << 63), entry_)) return false;
    // A name or parent that only shares the hash is no part of this one.
    if (entry_.sequence != name || (have_first && entry_.parent != first_.parent)) continue;
    keys_[k].offset |= 1ull << 63;
    if (!have_first) {
      first_ = entry_;
      have_first = true;
    }
    pseudo |= entry_.pseudo;
    mixed |= entry_.part.minus != first_.part.minus;
    feature_.parts.push_back(entry_.part);
  }
  if (!have_first) return true;
  if (pseudo) {
    tally_.pseudo.Add(first_.line);
    return true;
  }
  std::uint8_t phase = first_.phase;
  if (!mixed) {
    // The stretches in the strand's order; the phase of the first says where the first
    // codon begins. Stretches on both strands (a trans-spliced gene) stay in the file's
    // order, each read on its own strand.
    std::sort(feature_.parts.begin(), feature_.parts.end(),
              [](const LocationPart& a, const LocationPart& b) { return a.start < b.start; });
    if (first_.part.minus) std::reverse(feature_.parts.begin(), feature_.parts.end());
    const LocationPart& lead = feature_.parts.front();
    for (std::size_t k = begin; k != end; ++k) {
      // The phase of the line of the leading stretch, read again when it is not the first.
      if (lead.start == first_.part.start && lead.end == first_.part.end) break;
      if (!Take(keys_[k].offset & ~(1ull << 63), entry_)) return false;
      if (entry_.sequence == name && entry_.parent == first_.parent &&
          entry_.part.start == lead.start && entry_.part.end == lead.end) {
        phase = entry_.phase;
        break;
      }
    }
  }
  feature_.line = first_.line;
  feature_.skip = phase;
  feature_.transl_table = first_.transl_table;
  feature_.id = first_.id;
  feature_.description = first_.description;
  cut(feature_);
  return true;
}

}  // namespace trelba
