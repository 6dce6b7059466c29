#include "analysis/trna_adaptation.hpp"

#include <limits>

#include "codes/ncbi_tables.hpp"
#include "numeric/exponential.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

// 1 - s of each pairing at the anticodon's first base.
constexpr double kGU = 1 - 0.41, kIC = 1 - 0.28, kIA = 1 - 0.9999, kUG = 1 - 0.68;
constexpr double kLysidineAUA = 1 - 0.89;

bool Prokaryotic(int table) {
  return table == 4 || table == 11 || table == 25;
}

}  // namespace

TrnaWeights WeightsOfTrnaGenes(const GeneticCode& code, const CodonCounts& reading) {
  const GeneticCode& table = *NcbiGeneticCode(code.amino_acid_table);
  constexpr std::size_t kStop = 5, kMet = 13;  // family numbers (kFamilyNames)
  TrnaWeights weights;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f == kStop || f == kMet) continue;
    const Family& family = table.families[f];
    for (unsigned m = 0; m < family.size; ++m) weights.kept[family.members[m]] = true;
  }
  const auto t = [&](std::size_t c) { return static_cast<double>(reading[c]); };
  CodonValues big_w{};
  for (std::size_t box = 1; box <= kCodonCount; box += 4) {
    // Third base T, C, A, G.
    big_w[box] = t(box) + kGU * t(box + 1);
    big_w[box + 1] = t(box + 1) + kIC * t(box);
    big_w[box + 2] = t(box + 2) + kIA * t(box);
    big_w[box + 3] = t(box + 3) + kUG * t(box + 2);
  }
  constexpr auto kAta = static_cast<std::size_t>(CodonIndexOfName("ATA"));
  if (Prokaryotic(code.amino_acid_table)) big_w[kAta] = kLysidineAUA;
  double largest = 0.0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (weights.kept[c] && big_w[c] > largest) largest = big_w[c];
  }
  if (largest == 0.0) return weights;
  double log_sum = 0.0;
  unsigned read = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (!weights.kept[c] || big_w[c] == 0.0) continue;
    weights.w[c] = big_w[c] / largest;
    weights.log_w[c] = NaturalLog(weights.w[c]);
    log_sum += weights.log_w[c];
    ++read;
  }
  const double mean_log = log_sum / read;
  const double geometric_mean = Exponential(mean_log);
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (!weights.kept[c] || big_w[c] != 0.0) continue;
    weights.w[c] = geometric_mean;
    weights.log_w[c] = NaturalLog(geometric_mean);
  }
  return weights;
}

double TrnaAdaptationIndex(const TrnaWeights& weights, const CodonCounts& counts) {
  double log_sum = 0.0;
  std::uint64_t codons = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const auto n = static_cast<double>(static_cast<std::int64_t>(counts[c]));
    log_sum += n * weights.log_w[c];
    codons += weights.kept[c] ? counts[c] : 0;
  }
  if (codons == 0) return std::numeric_limits<double>::quiet_NaN();
  return Exponential(log_sum / static_cast<double>(codons));
}

}  // namespace trelba
