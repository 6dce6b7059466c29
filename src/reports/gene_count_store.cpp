#include "reports/gene_count_store.hpp"

#include <algorithm>
#include <cstring>

namespace trelba {
namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 16;
// A count of this or more is this byte and the count's eight bytes.
constexpr unsigned char kEscape = 255;
// The longest record: the marks, 64 counts of at most 9 bytes each and the p-value.
constexpr std::size_t kLongestRecord = 1 + kCodonCount * 9 + sizeof(double);

// Encodes one record at `p`; its end.
char* EncodeRecord(const CodonCounts& counts, std::uint8_t marks, double excess_p, char* p) {
  *p++ = static_cast<char>(marks);
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint64_t value = counts[c];
    if (value < kEscape) {
      *p++ = static_cast<char>(value);
      continue;
    }
    *p++ = static_cast<char>(kEscape);
    std::memcpy(p, &value, sizeof value);
    p += sizeof value;
  }
  std::memcpy(p, &excess_p, sizeof excess_p);
  p += sizeof excess_p;
  return p;
}

// Decodes one record at `at` of `bytes`; false when it runs past the end.
bool DecodeRecord(const std::string& bytes, std::size_t& at, CodonCounts& counts,
                  std::uint8_t& marks, double& excess_p) {
  counts[0] = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
  const auto* const end = reinterpret_cast<const unsigned char*>(bytes.data()) + bytes.size();
  if (p == end) return false;
  marks = *p++;
  // Most records are 64 bytes of counts below 255: widened in one loop.
  if (end - p >= kCodonCount + static_cast<std::ptrdiff_t>(sizeof excess_p) &&
      std::memchr(p, kEscape, kCodonCount) == nullptr) {
    for (std::size_t c = 0; c < kCodonCount; ++c) counts[c + 1] = p[c];
    std::memcpy(&excess_p, p + kCodonCount, sizeof excess_p);
    at += 1 + kCodonCount + sizeof excess_p;
    return true;
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (p == end) return false;
    const unsigned char byte = *p++;
    if (byte != kEscape) {
      counts[c] = byte;
      continue;
    }
    if (end - p < static_cast<std::ptrdiff_t>(sizeof(std::uint64_t))) return false;
    std::memcpy(&counts[c], p, sizeof(std::uint64_t));
    p += sizeof(std::uint64_t);
  }
  if (end - p < static_cast<std::ptrdiff_t>(sizeof excess_p)) return false;
  std::memcpy(&excess_p, p, sizeof excess_p);
  p += sizeof excess_p;
  at = static_cast<std::size_t>(p - reinterpret_cast<const unsigned char*>(bytes.data()));
  return true;
}

}  // namespace

GeneCountStore::~GeneCountStore() {
  if (spill_ != nullptr) std::fclose(spill_);
}

void GeneCountStore::Clear() {
  held_ = std::string();  // its memory given back
  if (spill_ != nullptr) std::fclose(spill_);
  spill_ = nullptr;
  spilled_bytes_ = 0;
  size_ = 0;
  failed_ = false;
}

bool GeneCountStore::Add(const CodonCounts& counts, std::uint8_t marks, double excess_p) {
  if (failed_) return false;
  if (held_.size() + kLongestRecord > kHeldBytes && !Spill()) return !(failed_ = true);
  char record[kLongestRecord];
  held_.append(record,
               static_cast<std::size_t>(EncodeRecord(counts, marks, excess_p, record) - record));
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

bool GeneCountStore::Reader::Next(CodonCounts& counts, std::uint8_t& marks, double& excess_p) {
  if (failed_ || read_ == store_.size_) return false;
  if (!in_memory_) {
    if (block_.size() - at_ < kLongestRecord && file_left_ != 0 && !Fill()) {
      failed_ = true;
      return false;
    }
    if (at_ < block_.size()) {
      if (!DecodeRecord(block_, at_, counts, marks, excess_p)) return !(failed_ = true);
      ++read_;
      return true;
    }
    in_memory_ = true;
    at_ = 0;
  }
  if (!DecodeRecord(store_.held_, at_, counts, marks, excess_p)) return !(failed_ = true);
  ++read_;
  return true;
}

}  // namespace trelba
