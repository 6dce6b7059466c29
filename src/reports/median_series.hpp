// The values of one series (every score of an input, say) kept for their median, in
// memory that does not grow with their number: up to kHeldValues in memory, the rest in an
// anonymous temporary file (gone with the process), from which the median is found
// exactly by selecting on the bits of the doubles, sixteen at a time, in at most four
// passes a rank (fewer once the values left fit in memory).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <vector>

namespace trelba {

class MedianSeries {
 public:
  // Values held in memory (8 bytes each) before they go to the file, and the most a
  // selection gathers from it.
  static constexpr std::size_t kHeldValues = std::size_t{1} << 14;

  MedianSeries() = default;
  ~MedianSeries();
  MedianSeries(MedianSeries&& other) noexcept;
  MedianSeries& operator=(MedianSeries&& other) noexcept;

  void Add(std::span<const double> values);

  // The median of the values that are numbers (the mean of the middle two of an even
  // count); NaN when there is none, or when values in the file cannot be read back. The
  // same bits as sorting them all would give. Nothing is added after it.
  double Median();

 private:
  bool Spill();
  double Select(std::uint64_t rank);
  template <class Visit>
  bool ForEachSpilled(Visit&& visit);

  std::vector<double> held_;    // numbers only
  std::uint64_t count_ = 0;     // numbers added
  std::FILE* spill_ = nullptr;  // the values beyond those held
  std::uint64_t spilled_ = 0;   // values in the file
  bool spill_failed_ = false;   // then the rest are held, however many
};

// The median of `values` that are numbers, as MedianSeries gives it; reorders them.
double Median(std::vector<double>& values);

}  // namespace trelba
