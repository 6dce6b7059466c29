// What the table's groups of columns (--columns) cost a sequence: nanoseconds per sequence
// of a FASTA file (its bodies read beforehand), one thread, for each group's numbers and for
// them written as text, beside counting the body's codons, which every run does.
//
// usage: column_groups_cost FILE [PASSES]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "analysis/dinucleotide_ratios.hpp"
#include "analysis/gene_composition.hpp"
#include "analysis/relative_usage.hpp"
#include "codes/genetic_code.hpp"
#include "input/codon_reader.hpp"
#include "input/dinucleotide_reader.hpp"
#include "numeric/number_format.hpp"

using trelba::CodonCounts;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: column_groups_cost FILE [PASSES]\n");
    return 255;
  }
  // Each body as the file has it, line ends and all.
  std::vector<std::string> bodies;
  {
    std::ifstream in(argv[1]);
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with('>')) {
        bodies.emplace_back();
      } else if (!bodies.empty()) {
        bodies.back() += line + '\n';
      }
    }
  }
  std::vector<CodonCounts> genes;
  std::vector<trelba::DinucleotideCounts> pairs;
  for (const std::string& body : bodies) {
    trelba::CodonReader reader;
    trelba::CountCodons(reader, body.data(), body.size());
    genes.push_back(reader.counts);
    trelba::DinucleotideReader pair_reader;
    trelba::CountDinucleotides(pair_reader, body.data(), body.size());
    pairs.push_back(trelba::PairsRead(pair_reader));
  }
  const int passes = argc > 2 ? std::atoi(argv[2]) : 9;
  const trelba::SynonymousCodons synonymous =
      trelba::SynonymousCodonsOf(trelba::GeneticCodeNumber(0));
  const trelba::CompositionCodons composition = trelba::CompositionCodonsOf(synonymous);
  double sink = 0.0;
  std::printf("%zu sequences\n", genes.size());
  // A thousand sequences at a time, each 20 times: in the cache, as a run has them when it
  // has just read them. Nanoseconds a sequence, the best of the passes.
  const auto time = [&](auto per_sequence) {
    double best = 1e300;
    for (int pass = 0; pass < passes; ++pass) {
      const auto start = std::chrono::steady_clock::now();
      for (std::size_t first = 0; first < genes.size(); first += 1000) {
        const std::size_t end = std::min(genes.size(), first + 1000);
        for (int again = 0; again < 20; ++again) {
          for (std::size_t g = first; g < end; ++g) per_sequence(g);
        }
      }
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      best = std::min(best, took.count());
    }
    return best / static_cast<double>(genes.size()) / 20 * 1e9;
  };
  char text[64 * 32];
  const auto write = [&](auto values) {
    char* p = text;
    for (const double value : values) p = trelba::FormatDouble(p, value);
    sink += static_cast<double>(p - text);
  };
  const double codons = time([&](std::size_t g) {
    trelba::CodonReader reader;
    trelba::CountCodons(reader, bodies[g].data(), bodies[g].size());
    sink += static_cast<double>(reader.counts[1]);
  });
  const double composition_cost = time([&](std::size_t g) {
    const trelba::GeneComposition c = trelba::CompositionOf(composition, genes[g]);
    write(std::initializer_list<double>{c.gc1, c.gc2, c.gc12, c.third_shares[0], c.third_shares[1],
                                        c.third_shares[2], c.third_shares[3], c.gravy, c.aromatic});
  });
  const double pair_count = time([&](std::size_t g) {
    trelba::DinucleotideReader reader;
    trelba::CountDinucleotides(reader, bodies[g].data(), bodies[g].size());
    sink += static_cast<double>(trelba::PairsRead(reader)[0][0]);
  });
  const double ratios = time([&](std::size_t g) { write(trelba::DinucleotideRatiosOf(pairs[g])); });
  trelba::CodonValues rscu;
  const double rscu_cost = time([&](std::size_t g) {
    trelba::CodonRscu(synonymous, genes[g], rscu);
    write(std::span(rscu).subspan(1));
  });
  trelba::FamilyValues shares;
  const double shares_cost = time([&](std::size_t g) {
    trelba::AminoAcidShares(synonymous, genes[g], shares);
    write(std::span(shares).subspan(1));
  });
  std::printf("codons counted (every run):       %7.1f ns a sequence\n", codons);
  std::printf("composition, written:             %7.1f ns a sequence\n", composition_cost);
  std::printf("dinucleotides counted:            %7.1f ns a sequence\n", pair_count);
  std::printf("dinucleotide ratios, written:     %7.1f ns a sequence\n", ratios);
  std::printf("rscu, written:                    %7.1f ns a sequence\n", rscu_cost);
  std::printf("aa, written:                      %7.1f ns a sequence\n", shares_cost);
  return sink == 0.0 ? 1 : 0;
}
