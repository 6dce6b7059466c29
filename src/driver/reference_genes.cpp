#include "driver/reference_genes.hpp"

#include <algorithm>

#include "analysis/gene_marks.hpp"
#include "input/sequence_digest.hpp"

namespace trelba {
namespace {

std::uint64_t CountsKey(const CodonCounts& counts) {
  std::uint64_t key = 0x9e3779b97f4a7c15u;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    key = (key ^ counts[c]) * 0xff51afd7ed558ccdu;
    key ^= key >> 29;
  }
  return key;
}

std::uint64_t DigestOf(const SequenceBatch& batch, const SequenceRecord& record) {
  if (record.counted) return record.digest;
  return DigestLetters(kDigestStart, batch.text.data() + record.body_begin,
                       record.body_end - record.body_begin);
}

}  // namespace

void ReferenceGenes::Add(const CodonCounts& counts, std::uint64_t digest) {
  keys_.push_back({CountsKey(counts), digest});
}

void ReferenceGenes::Seal() {
  std::sort(keys_.begin(), keys_.end());
  keys_.erase(std::unique(keys_.begin(), keys_.end()), keys_.end());
}

std::ptrdiff_t ReferenceGenes::Find(const SequenceBatch& batch,
                                    const SequenceRecord& record) const {
  const std::uint64_t counts = CountsKey(record.counts);
  auto at = std::lower_bound(keys_.begin(), keys_.end(), Key{counts, 0});
  if (at == keys_.end() || at->counts != counts) return -1;
  const std::uint64_t digest = DigestOf(batch, record);
  at = std::lower_bound(at, keys_.end(), Key{counts, digest});
  if (at == keys_.end() || *at != Key{counts, digest}) return -1;
  return at - keys_.begin();
}

void MatchReferenceGenes(SequenceBatch& batch, ReferenceMatches& matches) {
  for (std::size_t i = 0; i < batch.size; ++i) {
    SequenceRecord& record = batch.records[i];
    if (record.left_out) continue;  // by --cds-only or --min-codons: in no total
    if (matches.collect != nullptr) {
      matches.collect->Add(record.counts, DigestOf(batch, record));
      continue;
    }
    const std::ptrdiff_t gene = matches.genes->Find(batch, record);
    record.marks = static_cast<std::uint8_t>(gene < 0 ? record.marks & ~kMarkReferenceFile
                                                      : record.marks | kMarkReferenceFile);
    if (gene < 0) continue;
    for (std::size_t c = 1; c <= kCodonCount; ++c) matches.pooled[c] += record.counts[c];
    if (matches.seen.empty()) matches.seen.resize(matches.genes->size());
    if (!matches.seen[static_cast<std::size_t>(gene)]) {
      matches.seen[static_cast<std::size_t>(gene)] = true;
      ++matches.distinct;
    }
  }
}

}  // namespace trelba
