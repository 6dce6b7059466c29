// The values of one series (every score of an input, say) kept for their median, in
// memory that does not grow with their number: up to kHeldValues in memory, the rest in a
// file of the temporary folder (reports/spill_file.hpp), each block of values sorted and
// kept as the differences of their keys (LEB128: equal values take a byte each), from
// which the median is found exactly by selecting on the bits of the doubles, sixteen at a
// time, in at most four passes a rank (fewer once the values left fit in memory).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "reports/spill_file.hpp"

namespace trelba {

class MedianSeries {
 public:
  // Values held in memory (8 bytes each) before they go to the file, and the most a
  // selection gathers from it.
  static constexpr std::size_t kHeldValues = std::size_t{1} << 14;

  void Add(std::span<const double> values);

  // The median of the values that are numbers (the mean of the middle two of an even
  // count); NaN when there is none, or when the file failed (failed()). The same bits as
  // sorting them all would give. Nothing is added after it.
  double Median();

  // Whether values could not be kept or read back, and why (the values are then lost).
  bool failed() const { return lost_ || spill_.failed(); }
  FailureCause error() const {
    return spill_.failed() ? spill_.error() : FailureCause{EIO, nullptr, true};
  }

 private:
  bool Spill();
  double Select(std::uint64_t rank);
  double Lost();  // NaN, the file's values found unreadable
  template <class Visit>
  bool ForEachSpilled(Visit&& visit);

  std::vector<double> held_;   // numbers only
  std::uint64_t count_ = 0;    // numbers added
  SpillFile spill_;            // the values beyond those held
  std::uint64_t spilled_ = 0;  // values in the file
  bool lost_ = false;          // the file does not read back as it was written
};

// The median of `values` that are numbers, as MedianSeries gives it; reorders them.
double Median(std::vector<double>& values);

}  // namespace trelba
