// The eigenvalues and eigenvectors of a small symmetric matrix: Householder reduction to
// tridiagonal form, then the QL algorithm with implicit shifts. Every step is a fixed
// sequence of IEEE additions, multiplications, divisions and square roots (no hypot, no
// library kernel), so the same matrix gives the same bits on every platform.
#pragma once

#include <cstddef>
#include <vector>

namespace trelba {

struct SymmetricEigen {
  std::size_t n = 0;
  std::vector<double> values;   // descending
  std::vector<double> vectors;  // n x n, row-major: column k is the eigenvector of values[k]
  bool converged = true;        // false when an eigenvalue took more than the rounds allowed

  double vector(std::size_t row, std::size_t k) const { return vectors[row * n + k]; }
};

// Of the n x n symmetric matrix `a` (row-major; only its lower triangle is read).
SymmetricEigen DecomposeSymmetric(const std::vector<double>& a, std::size_t n);

}  // namespace trelba
