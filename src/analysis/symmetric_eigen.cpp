#include "analysis/symmetric_eigen.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace trelba {
namespace {

constexpr double kEpsilon = 0x1p-52;
constexpr int kMaxRounds = 60;  // QL rounds for one eigenvalue (it takes two or three)

// sqrt(a^2 + b^2) without overflow, from correctly rounded operations only.
double Hypot(double a, double b) {
  a = std::fabs(a);
  b = std::fabs(b);
  if (a < b) std::swap(a, b);
  if (a == 0.0) return 0.0;
  const double r = b / a;
  return a * std::sqrt(1.0 + r * r);
}

// The matrix being worked on, row-major.
struct Square {
  std::size_t n;
  std::vector<double>& at;
  double& operator()(std::size_t i, std::size_t j) { return at[i * n + j]; }
};

// Householder reduction of v (symmetric) to tridiagonal form: the diagonal in d, the
// subdiagonal in e[1..n-1], v the orthogonal transformation.
void Tridiagonalize(Square v, std::vector<double>& d, std::vector<double>& e) {
  const std::size_t n = v.n;
  for (std::size_t j = 0; j < n; ++j) d[j] = v(n - 1, j);
  for (std::size_t i = n - 1; i > 0; --i) {
    double scale = 0.0;
    double h = 0.0;
    for (std::size_t k = 0; k < i; ++k) scale = scale + std::fabs(d[k]);
    if (scale == 0.0) {
      e[i] = d[i - 1];
      for (std::size_t j = 0; j < i; ++j) {
        d[j] = v(i - 1, j);
        v(i, j) = 0.0;
        v(j, i) = 0.0;
      }
    } else {
      for (std::size_t k = 0; k < i; ++k) {
        d[k] = d[k] / scale;
        h = h + d[k] * d[k];
      }
      double f = d[i - 1];
      double g = std::sqrt(h);
      if (f > 0.0) g = -g;
      e[i] = scale * g;
      h = h - f * g;
      d[i - 1] = f - g;
      for (std::size_t j = 0; j < i; ++j) e[j] = 0.0;
      for (std::size_t j = 0; j < i; ++j) {
        f = d[j];
        v(j, i) = f;
        g = e[j] + v(j, j) * f;
        for (std::size_t k = j + 1; k < i; ++k) {
          g = g + v(k, j) * d[k];
          e[k] = e[k] + v(k, j) * f;
        }
        e[j] = g;
      }
      f = 0.0;
      for (std::size_t j = 0; j < i; ++j) {
        e[j] = e[j] / h;
        f = f + e[j] * d[j];
      }
      const double hh = f / (h + h);
      for (std::size_t j = 0; j < i; ++j) e[j] = e[j] - hh * d[j];
      for (std::size_t j = 0; j < i; ++j) {
        f = d[j];
        g = e[j];
        for (std::size_t k = j; k < i; ++k) v(k, j) = v(k, j) - (f * e[k] + g * d[k]);
        d[j] = v(i - 1, j);
        v(i, j) = 0.0;
      }
    }
    d[i] = h;
  }
  // The transformations, accumulated.
  for (std::size_t i = 0; i + 1 < n; ++i) {
    v(n - 1, i) = v(i, i);
    v(i, i) = 1.0;
    const double h = d[i + 1];
    if (h != 0.0) {
      for (std::size_t k = 0; k <= i; ++k) d[k] = v(k, i + 1) / h;
      for (std::size_t j = 0; j <= i; ++j) {
        double g = 0.0;
        for (std::size_t k = 0; k <= i; ++k) g = g + v(k, i + 1) * v(k, j);
        for (std::size_t k = 0; k <= i; ++k) v(k, j) = v(k, j) - g * d[k];
      }
    }
    for (std::size_t k = 0; k <= i; ++k) v(k, i + 1) = 0.0;
  }
  for (std::size_t j = 0; j < n; ++j) {
    d[j] = v(n - 1, j);
    v(n - 1, j) = 0.0;
  }
  v(n - 1, n - 1) = 1.0;
  e[0] = 0.0;
}

// The QL algorithm with implicit shifts on the tridiagonal (d, e), its rotations applied
// to v: the eigenvalues in d, the eigenvectors in v's columns. False when an eigenvalue
// did not settle in kMaxRounds.
bool Diagonalize(Square v, std::vector<double>& d, std::vector<double>& e) {
  const std::size_t n = v.n;
  for (std::size_t i = 1; i < n; ++i) e[i - 1] = e[i];
  e[n - 1] = 0.0;
  bool converged = true;
  double f = 0.0;
  double largest = 0.0;
  for (std::size_t l = 0; l < n; ++l) {
    largest = std::max(largest, std::fabs(d[l]) + std::fabs(e[l]));
    std::size_t m = l;
    while (m < n - 1 && std::fabs(e[m]) > kEpsilon * largest) ++m;
    if (m > l) {
      int rounds = 0;
      do {
        if (++rounds > kMaxRounds) {
          converged = false;
          break;
        }
        double g = d[l];
        double p = (d[l + 1] - g) / (2.0 * e[l]);
        double r = Hypot(p, 1.0);
        if (p < 0.0) r = -r;
        d[l] = e[l] / (p + r);
        d[l + 1] = e[l] * (p + r);
        const double dl1 = d[l + 1];
        double h = g - d[l];
        for (std::size_t i = l + 2; i < n; ++i) d[i] = d[i] - h;
        f = f + h;
        p = d[m];
        double c = 1.0, c2 = 1.0, c3 = 1.0;
        const double el1 = e[l + 1];
        double s = 0.0, s2 = 0.0;
        for (std::size_t i = m; i-- > l;) {
          c3 = c2;
          c2 = c;
          s2 = s;
          g = c * e[i];
          h = c * p;
          r = Hypot(p, e[i]);
          e[i + 1] = s * r;
          s = e[i] / r;
          c = p / r;
          p = c * d[i] - s * g;
          d[i + 1] = h + s * (c * g + s * d[i]);
          for (std::size_t k = 0; k < n; ++k) {
            h = v(k, i + 1);
            v(k, i + 1) = s * v(k, i) + c * h;
            v(k, i) = c * v(k, i) - s * h;
          }
        }
        p = -s * s2 * c3 * el1 * e[l] / dl1;
        e[l] = s * p;
        d[l] = c * p;
      } while (std::fabs(e[l]) > kEpsilon * largest);
    }
    d[l] = d[l] + f;
    e[l] = 0.0;
  }
  return converged;
}

}  // namespace

SymmetricEigen DecomposeSymmetric(const std::vector<double>& a, std::size_t n) {
  SymmetricEigen result;
  result.n = n;
  if (n == 0) return result;
  std::vector<double> v(n * n);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j <= i; ++j) v[i * n + j] = v[j * n + i] = a[i * n + j];
  }
  std::vector<double> d(n), e(n);
  Tridiagonalize({n, v}, d, e);
  result.converged = Diagonalize({n, v}, d, e);
  // Descending, ties in the order found (a stable sort: the same order everywhere).
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t x, std::size_t y) { return d[x] > d[y]; });
  result.values.resize(n);
  result.vectors.resize(n * n);
  for (std::size_t k = 0; k < n; ++k) {
    result.values[k] = d[order[k]];
    for (std::size_t row = 0; row < n; ++row) result.vectors[row * n + k] = v[row * n + order[k]];
  }
  return result;
}

}  // namespace trelba
