// A sum of many doubles with the rounding error of each addition kept apart.
#pragma once

namespace trelba {

// Neumaier's compensated summation: thousands of terms add up to within a few units of the
// last place of their sum. Exact and the same everywhere: IEEE additions in a fixed order.
struct CompensatedSum {
  double sum = 0.0;
  double error = 0.0;

  void Add(double x) {
    const double next = sum + x;
    const bool larger = (sum < 0.0 ? -sum : sum) >= (x < 0.0 ? -x : x);
    error += larger ? (sum - next) + x : (x - next) + sum;
    sum = next;
  }
  double value() const { return sum + error; }
};

}  // namespace trelba
