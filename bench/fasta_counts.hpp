// The codon counts of every sequence of a plain FASTA file, read line by line, for the cost
// benchmarks that time analysis apart from reading (score_variance_cost, enc_cost).
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "input/codon_reader.hpp"

namespace trelba_bench {

inline std::vector<trelba::CodonCounts> ReadCounts(const char* name) {
  std::ifstream in(name);
  std::vector<trelba::CodonCounts> genes;
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

}  // namespace trelba_bench
