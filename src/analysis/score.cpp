#include "analysis/score.hpp"

namespace trelba {

double SequenceScore(const FamilyValues& composition, const FamilyValues& order) {
  double score = composition[1] * order[1];
  for (std::size_t f = 2; f <= kFamilyCount; ++f) {
    if (f != kStopFamily) score += composition[f] * order[f];
  }
  return score;
}

}  // namespace trelba
