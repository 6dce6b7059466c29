// What the score's exact null variance costs beside the analysis and the expected score
// that every table row already computes: nanoseconds per sequence of a FASTA file, one
// thread, with caches made fresh (what one run's worker pays: the kept values computed as
// their counts first occur) and with caches kept from an earlier pass; the best of PASSES.
//
// usage: score_variance_cost FILE [even|input] [PASSES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/score_variance.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "fasta_counts.hpp"

using trelba::CodonCounts;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: score_variance_cost FILE [even|input] [PASSES]\n");
    return 255;
  }
  const std::vector<CodonCounts> genes = trelba_bench::ReadCounts(argv[1]);
  const bool input = argc > 2 && std::string(argv[2]) == "input";
  const int passes = argc > 3 ? std::atoi(argv[3]) : 5;
  const trelba::GeneticCode& code = trelba::GeneticCodeNumber(0);
  CodonCounts pooled{};
  for (const CodonCounts& gene : genes) {
    for (std::size_t c = 0; c <= trelba::kCodonCount; ++c) pooled[c] += gene[c];
  }
  const trelba::Background background =
      input ? trelba::PooledBackground(code, pooled) : trelba::EvenBackground(code);
  trelba::SequenceAnalysis analysis;
  double sink = 0.0;
  std::optional<trelba::ExpectedOrderCache> expected;
  std::optional<trelba::ScoreVarianceCache> variance;
  const auto time = [&](bool with_variance) {
    const auto start = std::chrono::steady_clock::now();
    for (const CodonCounts& gene : genes) {
      trelba::AnalyseSequence(code, gene, analysis);
      sink += trelba::ExpectedScore(*expected, gene, analysis);
      if (with_variance) sink += trelba::ScoreVariance(*variance, gene, analysis);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  // Each pass: the expected score's cache fresh, then the variance's (the expected score's
  // kept by then), then both kept; the best of the passes.
  double base_fresh = 1e300;
  double with_fresh = 1e300;
  double base_kept = 1e300;
  double with_kept = 1e300;
  for (int pass = 0; pass < passes; ++pass) {
    expected.emplace(code, background);
    base_fresh = std::min(base_fresh, time(false));
    variance.emplace(code, background);
    with_fresh = std::min(with_fresh, time(true));
    base_kept = std::min(base_kept, time(false));
    with_kept = std::min(with_kept, time(true));
  }
  const double n = static_cast<double>(genes.size());
  std::printf("%zu sequences, %s background\n", genes.size(), input ? "input" : "even");
  std::printf("analysis + expected score: %8.0f ns a sequence (fresh cache), %6.0f (kept)\n",
              base_fresh / n * 1e9, base_kept / n * 1e9);
  std::printf("the variance on top:       %8.0f ns a sequence (fresh cache), %6.0f (kept)\n",
              (with_fresh - base_kept) / n * 1e9, (with_kept - base_kept) / n * 1e9);
  return sink == 0.0 ? 1 : 0;
}
