// The Lugannani-Rice saddlepoint approximation of P(S >= s) for a sum S of independent
// variables, from its cumulant generating function K(t): both the p-value of adaptation and
// that of a short gene's excess (tail_probabilities.hpp, excess_tail.hpp) take it.
#pragma once

#include <cmath>
#include <limits>

#include "numeric/exponential.hpp"
#include "numeric/gamma_tail.hpp"

namespace trelba {

// K(t), K'(t) and K''(t) at one t.
struct Cumulants {
  double log_mgf = 0.0;
  double mean = 0.0;
  double variance = 0.0;
};

// P(S >= s) for s strictly inside the range of S: the saddlepoint K'(t) = s found by
// Newton's steps kept inside a bracket of t (halved where a step would leave it) until
// |K'(t) - s| <= tolerance, then Lugannani-Rice, clamped to [0, 1]. `cumulants(t)` gives
// the Cumulants at t. NaN where a step would take |t| beyond `farthest`, where K would no
// longer be held by a double.
template <class CumulantsAt>
double SaddlepointUpperP(double s, double tolerance, CumulantsAt cumulants,
                         double farthest = std::numeric_limits<double>::infinity()) {
  constexpr int kMostSteps = 200;
  // 1 / sqrt(2 pi).
  constexpr double kInverseRootTwoPi = 0.39894228040143267794;
  double t = 0.0;
  double below = -std::numeric_limits<double>::infinity();
  double above = std::numeric_limits<double>::infinity();
  Cumulants k = cumulants(t);
  const double mean = k.mean, variance = k.variance;
  for (int step = 0; step < kMostSteps; ++step) {
    const double gap = k.mean - s;
    if (gap < 0.0) below = t;
    if (gap > 0.0) above = t;
    if (gap == 0.0 || !(k.variance > 0.0)) break;
    double next = t - gap / k.variance;
    if (!(next > below && next < above)) {
      next = below == -std::numeric_limits<double>::infinity()  ? 2.0 * above - 1.0
             : above == std::numeric_limits<double>::infinity() ? 2.0 * below + 1.0
                                                                : 0.5 * (below + above);
    }
    if (next == t) break;
    if (!(std::fabs(next) <= farthest)) return std::numeric_limits<double>::quiet_NaN();
    t = next;
    k = cumulants(t);
    if (std::fabs(k.mean - s) <= tolerance) break;
  }
  const double r2 = 2.0 * (t * s - k.log_mgf);
  const double r = (t < 0.0 ? -1.0 : 1.0) * std::sqrt(r2 > 0.0 ? r2 : 0.0);
  const double u = t * std::sqrt(k.variance);
  if (std::fabs(r) < 1e-6 || !(k.variance > 0.0)) {
    // At the mean: the normal tail (the limit of Lugannani-Rice but for the skewness).
    return NormalUpperTail((s - mean) / std::sqrt(variance));
  }
  const double p =
      NormalUpperTail(r) + kInverseRootTwoPi * Exponential(-0.5 * r * r) * (1.0 / u - 1.0 / r);
  return p < 0.0 ? 0.0 : p > 1.0 ? 1.0 : p;
}

}  // namespace trelba
