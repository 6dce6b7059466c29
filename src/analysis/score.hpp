// The score of a sequence and the average of the positive scores.
#pragma once

#include <cstdint>

#include "trelba/codons_and_families.hpp"

namespace trelba {

// Sum of composition * order value over the families 1 to 21 but the stop family, added in
// ascending family order.
double SequenceScore(const FamilyValues& composition, const FamilyValues& order);

// Only scores strictly above 0 are listed and averaged; 0, negative and NaN scores are not.
inline bool IsListedScore(double score) {
  return score > 0.0;
}

struct AverageScore {
  double sum = 0.0;
  std::uint64_t count = 0;

  void Add(double score) {
    if (!IsListedScore(score)) return;
    sum += score;
    ++count;
  }
  bool empty() const { return count == 0; }
  double value() const { return sum / static_cast<double>(count); }
};

}  // namespace trelba
