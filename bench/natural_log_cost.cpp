// Times NaturalLog against the C library's std::log on the arguments the analysis gives
// them: within-family frequencies count / total, and doubles spread over (0, 1]. Prints
// nanoseconds per call for both (best of several passes over the same arguments).
//
// usage: natural_log_cost [PASSES]
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "cost_per_call.hpp"
#include "numeric/natural_log.hpp"

namespace {

// Every count / total with 1 <= count <= total <= 1024 (the entropy table's range), in
// shuffled order so that neighbouring calls do not share a table entry.
std::vector<double> Fractions() {
  std::vector<double> values;
  for (int total = 1; total <= 1024; ++total) {
    for (int count = 1; count <= total; ++count) {
      values.push_back(static_cast<double>(count) / static_cast<double>(total));
    }
  }
  std::shuffle(values.begin(), values.end(), std::mt19937_64(1));
  return values;
}

std::vector<double> UnitInterval() {
  std::mt19937_64 random(2);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::vector<double> values(500000);
  for (double& value : values) {
    do value = uniform(random);
    while (value == 0.0);
  }
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::atoi(argv[1]) : 7;
  return trelba_bench::PrintCosts(
      {{"count/total, total <= 1024", Fractions()}, {"uniform over (0, 1]", UnitInterval()}},
      passes, "NaturalLog", trelba::NaturalLog, "std::log", [](double x) { return std::log(x); });
}
