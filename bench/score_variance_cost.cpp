// What the score's exact null variance costs beside the analysis and the expected score
// that every table row already computes: nanoseconds per sequence of a FASTA file, one
// thread, each with caches made fresh for the pass (cold: what one run's worker pays, the
// kept values computed as their counts first occur) and then used again (warm).
//
// usage: score_variance_cost FILE [even|input] [PASSES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "analysis/background.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/score_variance.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/codon_reader.hpp"

namespace {

using trelba::CodonCounts;

std::vector<CodonCounts> ReadCounts(const char* name) {
  std::ifstream in(name);
  std::vector<CodonCounts> genes;
  trelba::CodonReader reader;
  bool open = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with('>')) {
      if (open) genes.push_back(reader.counts);
      reader = trelba::CodonReader{};
      open = true;
    } else {
      trelba::CountCodons(reader, line.data(), line.size());
    }
  }
  if (open) genes.push_back(reader.counts);
  return genes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: score_variance_cost FILE [even|input] [PASSES]\n");
    return 255;
  }
  const std::vector<CodonCounts> genes = ReadCounts(argv[1]);
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
  // The first pass with fresh caches: the expected score's, then the variance's (the
  // expected score's kept by then).
  expected.emplace(code, background);
  const double base_cold = time(false);
  variance.emplace(code, background);
  const double with_cold = time(true);
  double base_warm = 1e300;
  double with_warm = 1e300;
  for (int pass = 0; pass < passes; ++pass) {
    base_warm = std::min(base_warm, time(false));
    with_warm = std::min(with_warm, time(true));
  }
  const double n = static_cast<double>(genes.size());
  std::printf("%zu sequences, %s background\n", genes.size(), input ? "input" : "even");
  std::printf("analysis + expected score: %8.0f ns a sequence (fresh cache), %6.0f (kept)\n",
              base_cold / n * 1e9, base_warm / n * 1e9);
  std::printf("the variance on top:       %8.0f ns a sequence (fresh cache), %6.0f (kept)\n",
              (with_cold - base_warm) / n * 1e9, (with_warm - base_warm) / n * 1e9);
  return sink == 0.0 ? 1 : 0;
}
