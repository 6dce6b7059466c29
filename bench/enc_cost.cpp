// What the table's enc and gc3s cost a sequence: nanoseconds per sequence of a FASTA file (its
// counts read beforehand), one thread, for each and for both written as text; set beside the
// run's own time per sequence with -T (docs/benchmark.md).
//
// usage: enc_cost FILE [PASSES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "fasta_counts.hpp"
#include "numeric/number_format.hpp"

using trelba::CodonCounts;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: enc_cost FILE [PASSES]\n");
    return 255;
  }
  const std::vector<CodonCounts> genes = trelba_bench::ReadCounts(argv[1]);
  const int passes = argc > 2 ? std::atoi(argv[2]) : 9;
  const trelba::SynonymousCodons synonymous =
      trelba::SynonymousCodonsOf(trelba::GeneticCodeNumber(0));
  double sink = 0.0;
  std::printf("%zu sequences\n", genes.size());
  // A thousand sequences at a time, each set 50 times: counts in the cache, as a run has them
  // when it has just counted them. Nanoseconds a sequence, the best of the passes.
  const auto time = [&](auto per_sequence) {
    double best = 1e300;
    for (int pass = 0; pass < passes; ++pass) {
      const auto start = std::chrono::steady_clock::now();
      for (std::size_t first = 0; first < genes.size(); first += 1000) {
        const std::size_t end = std::min(genes.size(), first + 1000);
        for (int again = 0; again < 50; ++again) {
          for (std::size_t g = first; g < end; ++g) per_sequence(genes[g]);
        }
      }
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      best = std::min(best, took.count());
    }
    return best / static_cast<double>(genes.size()) / 50 * 1e9;
  };
  const double enc = time(
      [&](const CodonCounts& gene) { sink += trelba::EffectiveNumberOfCodons(synonymous, gene); });
  // GC3s from every codon's count and the G- or C-ending ones' (which a run has already), as
  // a run computes it.
  const auto thirds = [&](const CodonCounts& gene) {
    std::uint64_t codons = 0;
    std::uint64_t gc3 = 0;
    for (std::size_t c = 1; c <= trelba::kCodonCount; ++c) {
      codons += gene[c];
      if (synonymous.third_gc[c]) gc3 += gene[c];
    }
    return std::pair{codons, gc3};
  };
  std::vector<std::pair<std::uint64_t, std::uint64_t>> totals;
  for (const CodonCounts& gene : genes) totals.push_back(thirds(gene));
  const auto gc3s_of = [&](const CodonCounts& gene) {
    const auto& [codons, gc3] = totals[static_cast<std::size_t>(&gene - genes.data())];
    return trelba::Gc3s(trelba::CountSynonymousThirds(synonymous, gene, codons, gc3));
  };
  const double gc3s = time([&](const CodonCounts& gene) { sink += gc3s_of(gene); });
  char text[64];
  const double both_written = time([&](const CodonCounts& gene) {
    char* p = trelba::FormatDouble(text, trelba::EffectiveNumberOfCodons(synonymous, gene));
    p = trelba::FormatDouble(p, gc3s_of(gene));
    sink += static_cast<double>(p - text);
  });
  std::printf("ENC:                    %6.1f ns a sequence\n", enc);
  std::printf("GC3s:                   %6.1f ns a sequence\n", gc3s);
  std::printf("both, written as text:  %6.1f ns a sequence\n", both_written);
  return sink == 0.0 ? 1 : 0;
}
