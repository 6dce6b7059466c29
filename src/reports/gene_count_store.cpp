#include "reports/gene_count_store.hpp"

#include <algorithm>

namespace trelba {
namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 16;
// The longest record: 64 counts of at most 10 bytes each.
constexpr std::size_t kLongestRecord = kCodonCount * 10;

void AppendNumber(std::string& to, std::uint64_t value) {
  while (value >= 0x80) {
    to += static_cast<char>((value & 0x7f) | 0x80);
    value >>= 7;
  }
  to += static_cast<char>(value);
}

// Decodes one record at `at` of `bytes`; false when it runs past the end.
bool DecodeRecord(const std::string& bytes, std::size_t& at, CodonCounts& counts) {
  counts[0] = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
      if (at == bytes.size() || shift > 63) return false;
      const auto byte = static_cast<unsigned char>(bytes[at++]);
      value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
      if ((byte & 0x80) == 0) break;
    }
    counts[c] = value;
  }
  return true;
}

}  // namespace

GeneCountStore::~GeneCountStore() {
  if (spill_ != nullptr) std::fclose(spill_);
}

void GeneCountStore::Clear() {
  held_.clear();
  if (spill_ != nullptr) std::fclose(spill_);
  spill_ = nullptr;
  spilled_bytes_ = 0;
  size_ = 0;
  failed_ = false;
}

bool GeneCountStore::Add(const CodonCounts& counts) {
  if (failed_) return false;
  if (held_.size() + kLongestRecord > kHeldBytes && !Spill()) return !(failed_ = true);
  for (std::size_t c = 1; c <= kCodonCount; ++c) AppendNumber(held_, counts[c]);
  ++size_;
  return true;
}

bool GeneCountStore::Spill() {
  if (spill_ == nullptr && (spill_ = std::tmpfile()) == nullptr) return false;
  if (std::fwrite(held_.data(), 1, held_.size(), spill_) != held_.size()) return false;
  spilled_bytes_ += held_.size();
  held_.clear();
  return true;
}

GeneCountStore::Reader::Reader(GeneCountStore& store)
    : store_(store), file_left_(store.spilled_bytes_) {
  if (store.spill_ == nullptr) {
    in_memory_ = true;
  } else if (std::fflush(store.spill_) != 0) {
    failed_ = true;
  } else {
    std::rewind(store.spill_);
  }
}

// Moves the unused bytes to the front of the block and reads more of the file behind them.
bool GeneCountStore::Reader::Fill() {
  block_.erase(0, at_);
  at_ = 0;
  const std::size_t want =
      static_cast<std::size_t>(std::min<std::uint64_t>(file_left_, kReadBlock));
  const std::size_t had = block_.size();
  block_.resize(had + want);
  if (std::fread(block_.data() + had, 1, want, store_.spill_) != want) return false;
  file_left_ -= want;
  return true;
}

bool GeneCountStore::Reader::Next(CodonCounts& counts) {
  if (failed_ || read_ == store_.size_) return false;
  if (!in_memory_) {
    if (block_.size() - at_ < kLongestRecord && file_left_ != 0 && !Fill()) {
      failed_ = true;
      return false;
    }
    if (at_ < block_.size()) {
      if (!DecodeRecord(block_, at_, counts)) return !(failed_ = true);
      ++read_;
      return true;
    }
    in_memory_ = true;
    at_ = 0;
  }
  if (!DecodeRecord(store_.held_, at_, counts)) return !(failed_ = true);
  ++read_;
  return true;
}

}  // namespace trelba
