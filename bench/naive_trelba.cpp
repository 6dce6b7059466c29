// The straightforward design, kept only to show what the tool's own design buys:
// characters one at a time through operator>>, whole-run tables that hold every
// sequence, and a flush after every report line. The analysis is the tool's own.
//
// usage: naive_trelba FILE [CODE]
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/score.hpp"
#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "input/codon_index.hpp"
#include "numeric/number_format.hpp"

namespace {

std::string Number(double v) {
  char text[trelba::kMaxNumberText];
  return {text, trelba::FormatDouble(text, v)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 255;
  const std::string name = argv[1];
  const trelba::GeneticCode& code = trelba::SelectGeneticCode(argc > 2 ? argv[2] : "0");
  std::ifstream in(name);
  if (!in) return 255;
  std::ofstream iik(name + ".iik"), ok(name + ".ok"), freq(name + ".freq");

  std::vector<trelba::CodonCounts> table(1);  // sequence 0: before the first header
  char a, b, c;
  while (in >> a >> b >> c) {
    const int index = trelba::CodonIndex(a, b, c);
    if (index == trelba::kHeaderTriple) {
      table.emplace_back();
      std::string header;
      std::getline(in, header);
    } else if (index > 0) {
      ++table.back()[static_cast<std::size_t>(index)];
    }
  }

  const char rna[] = "UCAG";
  for (std::size_t s = 1; s < table.size(); ++s) {
    std::string label = std::to_string(s);
    label.insert(0, label.size() < 7 ? 7 - label.size() : 0, '0');
    for (int x = 0; x < 4; ++x) {
      for (int z = 0; z < 4; ++z) {
        freq << "sequence#" << label;
        for (int y = 0; y < 4; ++y) {
          freq << (y == 0 ? " " : "\t") << rna[x] << rna[y] << rna[z] << "\t"
               << Number(static_cast<double>(
                      table[s][static_cast<std::size_t>(1 + 16 * x + 4 * y + z)]));
        }
        freq << std::endl;
      }
    }
    freq << std::endl << std::endl;
  }
  std::vector<trelba::SequenceAnalysis> results(table.size());
  for (std::size_t s = 0; s < table.size(); ++s)
    trelba::AnalyseSequence(code, table[s], results[s]);
  trelba::AverageScore average;
  for (std::size_t s = 1; s < table.size(); ++s) {
    for (int f = 1; f <= trelba::kFamilyCount; ++f) {
      iik << f << " " << Number(results[s].order[static_cast<std::size_t>(f)]) << std::endl;
    }
    iik << std::endl;
    if (trelba::IsListedScore(results[s].score)) ok << Number(results[s].score) << std::endl;
    average.Add(results[s].score);
  }
  ok << std::endl
     << "average = " << (average.empty() ? "nan" : Number(average.value())) << std::endl;
  return 0;
}
