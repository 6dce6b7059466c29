#include "numeric/gamma_tail.hpp"

#include <limits>

#include "numeric/exponential.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();
// Where a series or continued fraction stops: its next term changes the sum by less.
constexpr double kEpsilon = 0x1p-53;
constexpr int kMostTerms = 1 << 20;
// ln sqrt(2 pi).
constexpr double kLogRootTwoPi = 0.91893853320467274178;
// ln Gamma(1/2) = ln sqrt(pi).
constexpr double kLogGammaHalf = 0.57236494292470008707;

// e^(-x) x^a / Gamma(a), from logarithms.
double Prefactor(double a, double x) {
  const double log_gamma = a == 0.5 ? kLogGammaHalf : LogGamma(a);
  return Exponential(a * NaturalLog(x) - x - log_gamma);
}

// P(a, x) by its series: e^-x x^a / Gamma(a + 1) * sum x^n / ((a + 1) ... (a + n)).
double LowerBySeries(double a, double x) {
  double term = 1.0 / a;
  double sum = term;
  double denominator = a;
  for (int n = 0; n < kMostTerms; ++n) {
    denominator += 1.0;
    term *= x / denominator;
    sum += term;
    if (term < sum * kEpsilon) break;
  }
  return sum * Prefactor(a, x);
}

// Q(a, x) by its continued fraction, evaluated by the modified Lentz method.
double UpperByFraction(double a, double x) {
  constexpr double kTiny = 1e-300;
  double b = x + 1.0 - a;
  double c = 1.0 / kTiny;
  double d = 1.0 / b;
  double h = d;
  for (int i = 1; i < kMostTerms; ++i) {
    const double an = -i * (i - a);
    b += 2.0;
    d = an * d + b;
    if (d < kTiny && d > -kTiny) d = kTiny;
    c = b + an / c;
    if (c < kTiny && c > -kTiny) c = kTiny;
    d = 1.0 / d;
    const double delta = d * c;
    h *= delta;
    const double change = delta - 1.0;
    if (change < kEpsilon && change > -kEpsilon) break;
  }
  return h * Prefactor(a, x);
}

// The continued fraction of I_x(a, b) times a B(a, b) / (x^a (1 - x)^b).
double BetaFraction(double a, double b, double x) {
  constexpr double kTiny = 1e-300;
  const double sum = a + b, up = a + 1.0, down = a - 1.0;
  double c = 1.0;
  double d = 1.0 - sum * x / up;
  if (d < kTiny && d > -kTiny) d = kTiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m < kMostTerms; ++m) {
    const double m2 = 2.0 * m;
    double an = m * (b - m) * x / ((down + m2) * (a + m2));
    d = 1.0 + an * d;
    if (d < kTiny && d > -kTiny) d = kTiny;
    c = 1.0 + an / c;
    if (c < kTiny && c > -kTiny) c = kTiny;
    d = 1.0 / d;
    h *= d * c;
    an = -(a + m) * (sum + m) * x / ((a + m2) * (up + m2));
    d = 1.0 + an * d;
    if (d < kTiny && d > -kTiny) d = kTiny;
    c = 1.0 + an / c;
    if (c < kTiny && c > -kTiny) c = kTiny;
    d = 1.0 / d;
    const double delta = d * c;
    h *= delta;
    const double change = delta - 1.0;
    if (change < kEpsilon && change > -kEpsilon) break;
  }
  return h;
}

}  // namespace

double BetaRegularized(double a, double b, double x) {
  if (!(a > 0.0) || !(b > 0.0) || x != x) return kNotANumber;
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  const double log_front =
      a * NaturalLog(x) + b * NaturalLog(1.0 - x) - LogGamma(a) - LogGamma(b) + LogGamma(a + b);
  const double front = Exponential(log_front);
  if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaFraction(a, b, x) / a;
  return 1.0 - front * BetaFraction(b, a, 1.0 - x) / b;
}

double LogGamma(double a) {
  if (!(a > 0.0)) return kNotANumber;
  // Gamma(a) = Gamma(a + n) / (a (a + 1) ... (a + n - 1)), up to a + n >= 10.
  double product = 1.0;
  double z = a;
  while (z < 10.0) {
    product *= z;
    z += 1.0;
  }
  const double inverse = 1.0 / z;
  const double inverse_square = inverse * inverse;
  // 1/(12z) - 1/(360z^3) + 1/(1260z^5) - 1/(1680z^7) + 1/(1188z^9) - 691/(360360z^11).
  double series = -691.0 / 360360.0;
  series = series * inverse_square + 1.0 / 1188.0;
  series = series * inverse_square - 1.0 / 1680.0;
  series = series * inverse_square + 1.0 / 1260.0;
  series = series * inverse_square - 1.0 / 360.0;
  series = series * inverse_square + 1.0 / 12.0;
  const double stirling = (z - 0.5) * NaturalLog(z) - z + kLogRootTwoPi + series * inverse;
  return product == 1.0 ? stirling : stirling - NaturalLog(product);
}

double UpperGammaRegularized(double a, double x) {
  if (!(a > 0.0) || x != x) return kNotANumber;
  if (x <= 0.0) return 1.0;
  if (x == std::numeric_limits<double>::infinity()) return 0.0;
  if (x < a + 1.0) return 1.0 - LowerBySeries(a, x);
  return UpperByFraction(a, x);
}

double NormalUpperTail(double z) {
  if (z != z) return kNotANumber;
  const double half = 0.5 * UpperGammaRegularized(0.5, 0.5 * z * z);
  return z >= 0.0 ? half : 1.0 - half;
}

}  // namespace trelba
