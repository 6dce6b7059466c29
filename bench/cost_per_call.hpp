// Nanoseconds per call of a function of one double beside the C library's, for the cost
// benchmarks of the numeric floor (natural_log_cost, exponential_cost).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace trelba_bench {

// Nanoseconds per call, the best of `passes` over the same arguments; the sum goes to
// `sink` so that the calls are not dropped.
template <typename Function>
double NanosecondsPerCall(const std::vector<double>& arguments, int passes, Function function,
                          double& sink) {
  double best = 1e300;
  for (int pass = 0; pass < passes; ++pass) {
    double sum = 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (const double x : arguments) sum += function(x);
    const auto stop = std::chrono::steady_clock::now();
    sink += sum;
    const double ns = std::chrono::duration<double, std::nano>(stop - start).count();
    best = std::min(best, ns / static_cast<double>(arguments.size()));
  }
  return best;
}

struct ArgumentSet {
  const char* name;
  std::vector<double> arguments;
};

// Prints a line per set: the nanoseconds per call of `ours` and of the C library's
// `theirs` and their ratio, under the two names. Returns the exit status (0 unless every
// result summed to 0, which says the calls were dropped).
template <typename Ours, typename Theirs>
int PrintCosts(const std::vector<ArgumentSet>& sets, int passes, const char* ours_name, Ours ours,
               const char* theirs_name, Theirs theirs) {
  double sink = 0.0;
  std::printf("%-32s %12s %12s %8s\n", "arguments", ours_name, theirs_name, "ratio");
  for (const ArgumentSet& set : sets) {
    const double ours_ns = NanosecondsPerCall(set.arguments, passes, ours, sink);
    const double theirs_ns = NanosecondsPerCall(set.arguments, passes, theirs, sink);
    std::printf("%-32s %9.2f ns %9.2f ns %7.2fx\n", set.name, ours_ns, theirs_ns,
                ours_ns / theirs_ns);
  }
  return sink == 0.0 ? 1 : 0;
}

}  // namespace trelba_bench
