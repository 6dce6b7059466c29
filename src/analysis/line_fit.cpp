#include "analysis/line_fit.hpp"

#include <cmath>
#include <limits>

namespace trelba {

void LineFit::Add(double x, double y) {
  ++count_;
  const double n = static_cast<double>(count_);
  const double dx = x - mean_x_;
  const double dy = y - mean_y_;
  mean_x_ += dx / n;
  mean_y_ += dy / n;
  // The products of the deviation from the old mean and from the new one.
  sxx_ += dx * (x - mean_x_);
  syy_ += dy * (y - mean_y_);
  sxy_ += dx * (y - mean_y_);
}

double LineFit::slope() const {
  return sxx_ > 0.0 ? sxy_ / sxx_ : std::numeric_limits<double>::quiet_NaN();
}

double LineFit::intercept() const {
  return mean_y_ - slope() * mean_x_;
}

double LineFit::correlation() const {
  return sxx_ > 0.0 && syy_ > 0.0 ? sxy_ / std::sqrt(sxx_ * syy_)
                                  : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace trelba
