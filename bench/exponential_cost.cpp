// Times Exponential against the C library's std::exp on the arguments a geometric mean
// gives it (means of logarithms of weights in (0, 1]: uniform over [-20, 0], and the
// logarithms of count fractions themselves) and on doubles spread over [-700, 700].
// Prints nanoseconds per call for both (best of several passes over the same arguments).
//
// usage: exponential_cost [PASSES]
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "cost_per_call.hpp"
#include "numeric/exponential.hpp"
#include "numeric/natural_log.hpp"

namespace {

std::vector<double> Uniform(double low, double high, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> uniform(low, high);
  std::vector<double> values(500000);
  for (double& value : values) value = uniform(random);
  return values;
}

// ln(count / total) for 1 <= count <= total <= 1024, in shuffled order.
std::vector<double> LogsOfFractions() {
  std::vector<double> values;
  for (int total = 1; total <= 1024; ++total) {
    for (int count = 1; count <= total; ++count) {
      values.push_back(trelba::NaturalLog(static_cast<double>(count) / static_cast<double>(total)));
    }
  }
  std::shuffle(values.begin(), values.end(), std::mt19937_64(1));
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::atoi(argv[1]) : 7;
  return trelba_bench::PrintCosts({{"uniform over [-20, 0]", Uniform(-20.0, 0.0, 2)},
                                   {"ln(count/total), total <= 1024", LogsOfFractions()},
                                   {"uniform over [-700, 700]", Uniform(-700.0, 700.0, 3)}},
                                  passes, "Exponential", trelba::Exponential, "std::exp",
                                  [](double x) { return std::exp(x); });
}
