// The least-squares line of y on x through points added one by one (Welford's updates of
// the means and of the sums of squares and products about them, which keep their
// precision where sums of raw squares would not): the neutrality plot's slope and r. The
// same points in the same order give the same bits.
#pragma once

#include <cstdint>

namespace trelba {

class LineFit {
 public:
  void Add(double x, double y);
  std::uint64_t count() const { return count_; }
  // NaN without two points of different x (slope, intercept) or of different y too (r).
  double slope() const;
  double intercept() const;
  double correlation() const;  // Pearson's r

 private:
  std::uint64_t count_ = 0;
  double mean_x_ = 0.0, mean_y_ = 0.0;
  double sxx_ = 0.0, syy_ = 0.0, sxy_ = 0.0;  // about the means
};

}  // namespace trelba
