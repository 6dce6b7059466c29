// Times NaturalLog against the C library's std::log on the arguments the analysis gives
// them: within-family frequencies count / total, and doubles spread over (0, 1]. Prints
// nanoseconds per call for both (best of several passes over the same arguments).
//
// usage: natural_log_cost [PASSES]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

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

// Nanoseconds per call, the best of `passes`; the sum keeps the calls from being dropped.
template <typename Log>
double NanosecondsPerCall(const std::vector<double>& arguments, int passes, Log log, double& sink) {
  double best = 1e300;
  for (int pass = 0; pass < passes; ++pass) {
    double sum = 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (const double x : arguments) sum += log(x);
    const auto stop = std::chrono::steady_clock::now();
    sink += sum;
    const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
    best = std::min(best, ns / static_cast<double>(arguments.size()));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc > 1 ? std::atoi(argv[1]) : 7;
  double sink = 0.0;
  struct Set {
    const char* name;
    std::vector<double> arguments;
  };
  const Set sets[] = {{"count/total, total <= 1024", Fractions()},
                      {"uniform over (0, 1]", UnitInterval()}};
  std::printf("%-28s %12s %12s %8s\n", "arguments", "NaturalLog", "std::log", "ratio");
  for (const Set& set : sets) {
    const double ours = NanosecondsPerCall(set.arguments, passes, trelba::NaturalLog, sink);
    const double libm = NanosecondsPerCall(
        set.arguments, passes, [](double x) { return std::log(x); }, sink);
    std::printf("%-28s %9.2f ns %9.2f ns %7.2fx\n", set.name, ours, libm, ours / libm);
  }
  return sink == 0.0 ? 1 : 0;
}
