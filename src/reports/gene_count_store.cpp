#include "reports/gene_count_store.hpp"

#include <algorithm>
#include <cstring>

namespace trelba {
namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 16;
// The first byte of a record of all 64 counts; any other is the number of pairs.
constexpr unsigned char kAllCounts = 255;
constexpr std::size_t kLongestCount = 10;  // LEB128 of 64 bits
// The marks, the form, 64 counts at their longest and the p-value.
constexpr std::size_t kLongestRecord = 2 + kCodonCount * kLongestCount + sizeof(double);

unsigned char* PutCount(std::uint64_t value, unsigned char* p) {
  while (value >= 0x80) {
    *p++ = static_cast<unsigned char>(value | 0x80);
    value >>= 7;
  }
  *p++ = static_cast<unsigned char>(value);
  return p;
}

// False when it runs past `end` or past 64 bits.
bool GetCount(const unsigned char*& p, const unsigned char* end, std::uint64_t& value) {
  value = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    if (p == end) return false;
    const unsigned char byte = *p++;
    value |= std::uint64_t{byte & 0x7fu} << shift;
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

// Encodes one record at `p`; its end.
unsigned char* EncodeRecord(const CodonCounts& counts, std::uint8_t marks, double excess_p,
                            unsigned char* p) {
  *p++ = marks;
  std::size_t pairs = 0;  // codons that occur (counted in one loop)
  for (std::size_t c = 1; c <= kCodonCount; ++c) pairs += counts[c] != 0 ? 1u : 0u;
  if (2 * pairs > kCodonCount) {
    *p++ = kAllCounts;
    // Mostly 64 counts below 128, each its own byte: narrowed in one loop.
    std::uint64_t high = 0;
    for (std::size_t c = 1; c <= kCodonCount; ++c) high |= counts[c];
    if (high < 0x80) {
      for (std::size_t c = 0; c < kCodonCount; ++c)
        p[c] = static_cast<unsigned char>(counts[c + 1]);
      p += kCodonCount;
    } else {
      for (std::size_t c = 1; c <= kCodonCount; ++c) p = PutCount(counts[c], p);
    }
  } else {
    *p++ = static_cast<unsigned char>(pairs);
    for (std::size_t c = 1; c <= kCodonCount; ++c) {
      if (counts[c] == 0) continue;
      *p++ = static_cast<unsigned char>(c);
      p = PutCount(counts[c], p);
    }
  }
  std::memcpy(p, &excess_p, sizeof excess_p);
  p += sizeof excess_p;
  return p;
}

// Decodes one record at `at` of `bytes`; false when it runs past the end or is not one.
bool DecodeRecord(const std::string& bytes, std::size_t& at, CodonCounts& counts,
                  std::uint8_t& marks, double& excess_p) {
  const auto* const begin = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = begin + bytes.size();
  const unsigned char* p = begin + at;
  if (end - p < 2) return false;
  marks = *p++;
  const unsigned char first = *p++;
  if (first == kAllCounts) {
    // Mostly 64 counts below 128: widened in one loop.
    std::uint64_t high = 0;
    if (end - p >= static_cast<std::ptrdiff_t>(kCodonCount)) {
      for (std::size_t c = 0; c < kCodonCount; ++c) high |= p[c];
    }
    if (end - p >= static_cast<std::ptrdiff_t>(kCodonCount) && (high & 0x80) == 0) {
      for (std::size_t c = 0; c < kCodonCount; ++c) counts[c + 1] = p[c];
      p += kCodonCount;
    } else {
      for (std::size_t c = 1; c <= kCodonCount; ++c) {
        if (!GetCount(p, end, counts[c])) return false;
      }
    }
  } else {
    if (first > kCodonCount) return false;
    counts.fill(0);
    for (unsigned pair = 0; pair < first; ++pair) {
      if (p == end) return false;
      const unsigned char codon = *p++;
      if (codon == 0 || codon > kCodonCount || !GetCount(p, end, counts[codon])) return false;
    }
  }
  if (end - p < static_cast<std::ptrdiff_t>(sizeof excess_p)) return false;
  std::memcpy(&excess_p, p, sizeof excess_p);
  p += sizeof excess_p;
  counts[0] = 0;
  at = static_cast<std::size_t>(p - begin);
  return true;
}

}  // namespace

void GeneCountStore::Clear() {
  held_ = std::string();  // its memory given back
  spill_.Clear();
  size_ = 0;
  failed_ = false;
}

bool GeneCountStore::Add(const CodonCounts& counts, std::uint8_t marks, double excess_p) {
  if (failed_) return false;
  if (held_.size() + kLongestRecord > kHeldBytes && !Spill()) return !(failed_ = true);
  unsigned char record[kLongestRecord];
  const unsigned char* const end = EncodeRecord(counts, marks, excess_p, record);
  held_.append(reinterpret_cast<const char*>(record), static_cast<std::size_t>(end - record));
  ++size_;
  return true;
}

bool GeneCountStore::Spill() {
  if (!spill_.Write(held_.data(), held_.size())) return false;
  held_.clear();
  return true;
}

GeneCountStore::Reader::Reader(GeneCountStore& store)
    : store_(store), file_left_(store.spill_.size()) {
  if (file_left_ == 0) {
    in_memory_ = true;
  } else if (!store.spill_.Rewind()) {
    failed_ = true;
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
  std::size_t got = 0;
  if (!store_.spill_.Read(block_.data() + had, want, got) || got != want) return false;
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
