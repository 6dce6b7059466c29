#include "reports/median_series.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

namespace trelba {
namespace {

constexpr int kDigitBits = 16;
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

MedianSeries::~MedianSeries() {
  if (spill_ != nullptr) std::fclose(spill_);
}

MedianSeries::MedianSeries(MedianSeries&& other) noexcept {
  *this = std::move(other);
}

MedianSeries& MedianSeries::operator=(MedianSeries&& other) noexcept {
  if (this == &other) return *this;
  if (spill_ != nullptr) std::fclose(spill_);
  held_ = std::move(other.held_);
  count_ = std::exchange(other.count_, 0);
  spill_ = std::exchange(other.spill_, nullptr);
  spilled_ = std::exchange(other.spilled_, 0);
  spill_failed_ = std::exchange(other.spill_failed_, false);
  return *this;
}

void MedianSeries::Add(std::span<const double> values) {
  for (const double value : values) {
    if (std::isnan(value)) continue;
    if (held_.size() == kHeldValues && !spill_failed_ && !Spill()) spill_failed_ = true;
    if (held_.capacity() == 0) held_.reserve(kHeldValues);
    held_.push_back(value);
    ++count_;
  }
}

// Moves the held values to the file; false when it cannot be had or written (the values
// stay held, and the file keeps those it had).
bool MedianSeries::Spill() {
  if (spill_ == nullptr && (spill_ = std::tmpfile()) == nullptr) return false;
  if (std::fwrite(held_.data(), sizeof(double), held_.size(), spill_) != held_.size()) {
    return false;
  }
  spilled_ += held_.size();
  held_.clear();
  return true;
}

// Calls `visit` with every value in the file; false when it cannot be read back.
template <class Visit>
bool MedianSeries::ForEachSpilled(Visit&& visit) {
  if (spilled_ == 0) return true;
  if (std::fflush(spill_) != 0) return false;
  std::rewind(spill_);
  std::vector<double> block(kHeldValues / 4);
  for (std::uint64_t left = spilled_; left != 0;) {
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
    if (std::fread(block.data(), sizeof(double), want, spill_) != want) return false;
    for (std::size_t i = 0; i < want; ++i) visit(block[i]);
    left -= want;
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
    if (!ForEachSpilled(count)) return std::numeric_limits<double>::quiet_NaN();
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
      if (!ForEachSpilled(gather)) return std::numeric_limits<double>::quiet_NaN();
      return Nth(gathered, static_cast<std::size_t>(rank));
    }
  }
  return ValueOf(prefix);
}

double MedianSeries::Median() {
  if (count_ == 0) return std::numeric_limits<double>::quiet_NaN();
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
  if (count_ % 2 == 1) return upper;
  return (Select(middle - 1) + upper) / 2;
}

double Median(std::vector<double>& values) {
  MedianSeries series;
  series.Add(values);
  return series.Median();
}

}  // namespace trelba
