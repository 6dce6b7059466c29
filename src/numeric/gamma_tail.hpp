// The regularised upper incomplete gamma function and the normal's upper tail, the tails
// behind the p-values: made of +, -, *, /, sqrt, NaturalLog and Exponential only, each
// sum in a fixed order, so that they have the same bits on every IEEE-754 platform.
#pragma once

namespace trelba {

// ln Gamma(a) for a > 0: the recurrence up to 10, then Stirling's series; NaN for a <= 0
// or NaN.
double LogGamma(double a);

// Q(a, x) = Gamma(a, x) / Gamma(a), the share of a gamma distribution of shape a and scale
// 1 above x, for a > 0 and x >= 0 (1 for x <= 0): the series of P = 1 - Q below x = a + 1,
// the continued fraction of Q (modified Lentz) above. NaN for a <= 0 or a NaN argument.
double UpperGammaRegularized(double a, double x);

// I_x(a, b), the share of a beta distribution of shapes a, b below x, for a, b > 0 and
// 0 <= x <= 1: the continued fraction (modified Lentz) on the side of x where it converges
// fast, the other side by I_x(a, b) = 1 - I_(1-x)(b, a). NaN for a, b <= 0 or a NaN.
double BetaRegularized(double a, double b, double x);

// P(Z >= z) for a standard normal Z: Q(1/2, z^2 / 2) / 2 for z >= 0, its complement below.
double NormalUpperTail(double z);

}  // namespace trelba
