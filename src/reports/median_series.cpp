#include "reports/median_series.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

namespace trelba {
namespace {

constexpr int kDigitBits = 16;
constexpr std::size_t kSpillBlock = std::size_t{1} << 15;  // bytes written or read at once
constexpr std::size_t kLongestKey = 10;                    // LEB128 of 64 bits
constexpr std::size_t kDigits = std::size_t{1} << kDigitBits;

// Keys that order as the doubles do (-0 before +0).
std::uint64_t KeyOf(double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

double ValueOf(std::uint64_t key) {
  const std::uint64_t bits = (key >> 63) != 0 ? key & ~(std::uint64_t{1} << 63) : ~key;
  return std::bit_cast<double>(bits);
}

// The value of rank `rank` (from 0) among `values`; reorders them.
double Nth(std::vector<double>& values, std::size_t rank) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(rank), values.end(),
                   [](double a, double b) { return KeyOf(a) < KeyOf(b); });
  return values[rank];
}

}  // namespace

void MedianSeries::Add(std::span<const double> values) {
  for (const double value : values) {
    if (std::isnan(value)) continue;
    if (held_.size() == kHeldValues && !Spill()) held_.clear();  // lost: failed() says so
    if (held_.capacity() == 0) held_.reserve(kHeldValues);
    held_.push_back(value);
    ++count_;
  }
}

// Moves the held values to the file, sorted, as the differences of their keys: the
// block's count, then each key less the one before (the first less 0), all in LEB128.
// False when the file cannot be had or written.
bool MedianSeries::Spill() {
  std::sort(held_.begin(), held_.end(), [](double a, double b) { return KeyOf(a) < KeyOf(b); });
  std::array<unsigned char, kSpillBlock> bytes;
  std::size_t used = 0;
  const auto put = [&](std::uint64_t value) {
    if (used + kLongestKey > bytes.size()) {
      if (!spill_.Write(bytes.data(), used)) return false;
      used = 0;
    }
    while (value >= 0x80) {
      bytes[used++] = static_cast<unsigned char>(value | 0x80);
      value >>= 7;
    }
    bytes[used++] = static_cast<unsigned char>(value);
    return true;
  };
  if (!put(held_.size())) return false;
  std::uint64_t previous = 0;
  for (const double value : held_) {
    const std::uint64_t key = KeyOf(value);
    if (!put(key - previous)) return false;
    previous = key;
  }
  if (!spill_.Write(bytes.data(), used)) return false;
  spilled_ += held_.size();
  held_.clear();
  return true;
}

// Calls `visit` with every value in the file; false when it cannot be read back.
template <class Visit>
bool MedianSeries::ForEachSpilled(Visit&& visit) {
  if (spilled_ == 0) return true;
  if (!spill_.Rewind()) return false;
  std::vector<unsigned char> block(kSpillBlock);
  std::size_t have = 0, at = 0;
  std::uint64_t file_left = spill_.size();
  // The next LEB128 number, reading more of the file when the block may end inside it.
  const auto next = [&](std::uint64_t& value) {
    if (have - at < kLongestKey && file_left != 0) {
      std::copy(block.begin() + static_cast<std::ptrdiff_t>(at),
                block.begin() + static_cast<std::ptrdiff_t>(have), block.begin());
      have -= at;
      at = 0;
      const std::size_t want =
          static_cast<std::size_t>(std::min<std::uint64_t>(file_left, block.size() - have));
      std::size_t got = 0;
      if (!spill_.Read(block.data() + have, want, got) || got != want) return false;
      have += got;
      file_left -= got;
    }
    value = 0;
    for (int shift = 0; shift < 64 && at < have; shift += 7) {
      const unsigned char byte = block[at++];
      value |= std::uint64_t{byte & 0x7fu} << shift;
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  };
  for (std::uint64_t left = spilled_; left != 0;) {
    std::uint64_t count = 0;
    if (!next(count) || count == 0 || count > left) return false;
    left -= count;
    std::uint64_t key = 0;
    for (; count != 0; --count) {
      std::uint64_t difference = 0;
      if (!next(difference)) return false;
      key += difference;
      visit(ValueOf(key));
    }
  }
  return true;
}

// The value of rank `rank` among all numbers, held and spilled: each pass counts the
// values under the prefix found so far by their next sixteen bits, and keeps the digit
// where the rank falls; once the values under the prefix fit in memory, they are gathered
// and the rank found among them.
double MedianSeries::Select(std::uint64_t rank) {
  std::vector<std::uint64_t> counts(kDigits);
  std::uint64_t prefix = 0;
  for (int shift = 64 - kDigitBits; shift >= 0; shift -= kDigitBits) {
    const int known = 64 - kDigitBits - shift;  // bits of the prefix
    const auto under = [&](std::uint64_t key) {
      return known == 0 || (key >> (shift + kDigitBits)) == prefix;
    };
    std::fill(counts.begin(), counts.end(), 0);
    const auto count = [&](double value) {
      const std::uint64_t key = KeyOf(value);
      if (under(key)) ++counts[(key >> shift) & (kDigits - 1)];
    };
    for (const double value : held_) count(value);
    if (!ForEachSpilled(count)) return Lost();
    std::size_t digit = 0;
    while (rank >= counts[digit]) rank -= counts[digit++];
    prefix = (prefix << kDigitBits) | digit;
    if (shift == 0) break;  // every bit known: the values left are all this one
    if (counts[digit] <= kHeldValues) {
      std::vector<double> gathered;
      gathered.reserve(counts[digit]);
      const auto gather = [&](double value) {
        if ((KeyOf(value) >> shift) == prefix) gathered.push_back(value);
      };
      for (const double value : held_) gather(value);
      if (!ForEachSpilled(gather)) return Lost();
      return Nth(gathered, static_cast<std::size_t>(rank));
    }
  }
  return ValueOf(prefix);
}

double MedianSeries::Lost() {
  lost_ = true;
  return std::numeric_limits<double>::quiet_NaN();
}

double MedianSeries::Median() {
  if (count_ == 0 || failed()) return std::numeric_limits<double>::quiet_NaN();
  const std::uint64_t middle = count_ / 2;
  if (spilled_ == 0) {
    const double upper = Nth(held_, static_cast<std::size_t>(middle));
    if (count_ % 2 == 1) return upper;
    const double lower =
        *std::max_element(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(middle),
                          [](double a, double b) { return KeyOf(a) < KeyOf(b); });
    return (lower + upper) / 2;
  }
  const double upper = Select(middle);
  if (count_ % 2 == 1 || failed()) return failed() ? Lost() : upper;
  const double lower = Select(middle - 1);
  return failed() ? Lost() : (lower + upper) / 2;
}

double Median(std::vector<double>& values) {
  MedianSeries series;
  series.Add(values);
  return series.Median();
}

}  // namespace trelba
