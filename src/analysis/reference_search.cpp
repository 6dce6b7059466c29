#include "analysis/reference_search.hpp"

#include <algorithm>
#include <limits>

#include "analysis/background.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/reference_usage.hpp"
#include "analysis/sequence_analysis.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

struct Ranked {
  double value;
  std::uint64_t gene;
};

// Whether `a` ranks below `b`: a lower value (NaN lowest), or the same value and a later gene.
bool RanksBelow(const Ranked& a, const Ranked& b) {
  const bool a_nan = a.value != a.value;
  const bool b_nan = b.value != b.value;
  if (a_nan != b_nan) return a_nan;
  if (!a_nan && a.value != b.value) return a.value < b.value;
  return a.gene > b.gene;
}

// The `size` genes of highest value seen, kept in a heap whose top is the lowest of them.
class TopGenes {
 public:
  explicit TopGenes(std::size_t size) : size_(size) { heap_.reserve(size); }

  void Offer(const Ranked& ranked) {
    const auto higher_first = [](const Ranked& a, const Ranked& b) { return RanksBelow(b, a); };
    if (heap_.size() < size_) {
      heap_.push_back(ranked);
      std::push_heap(heap_.begin(), heap_.end(), higher_first);
    } else if (size_ != 0 && RanksBelow(heap_.front(), ranked)) {
      std::pop_heap(heap_.begin(), heap_.end(), higher_first);
      heap_.back() = ranked;
      std::push_heap(heap_.begin(), heap_.end(), higher_first);
    }
  }

  // The genes kept, ascending.
  std::vector<std::uint64_t> Genes() const {
    std::vector<std::uint64_t> genes;
    genes.reserve(heap_.size());
    for (const Ranked& ranked : heap_) genes.push_back(ranked.gene);
    std::sort(genes.begin(), genes.end());
    return genes;
  }

 private:
  std::size_t size_;
  std::vector<Ranked> heap_;
};

// The codons of amino acids of two or more codons in a gene (L_g).
std::uint64_t SynonymousLength(const SynonymousCodons& s, const CodonCounts& counts) {
  std::uint64_t length = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (s.synonymous[c]) length += counts[c];
  }
  return length;
}

// The state of one search over the input's genes.
class Search {
 public:
  Search(const GeneticCode& code, const SynonymousCodons& s, const CodonCounts& input,
         std::uint64_t sequences, const GeneCounts& genes)
      : code_(code),
        s_(s),
        input_(input),
        genes_(genes),
        m_(std::max<std::uint64_t>(1, (sequences + 99) / 100)) {
    // Q: the reference's usage against the input's own, with the reference the input.
    q_ = UsageAgainst(s, input, input).q;
  }

  // Marks the eligible genes and ranks them by excess under Q for start A; false when the
  // genes cannot be read.
  bool Survey(std::vector<std::uint64_t>& by_excess) {
    ExpectedOrderCache cache(code_, PooledBackground(code_, input_));
    SequenceAnalysis analysis;
    TopGenes top(static_cast<std::size_t>(m_));
    std::uint64_t gene = 0;
    const bool read = genes_([&](const CodonCounts& counts) {
      const bool eligible = SynonymousLength(s_, counts) >= kSearchMinimumCodons;
      eligible_.push_back(eligible);
      if (eligible) {
        AnalyseSequence(code_, counts, analysis);
        top.Offer({analysis.score - ExpectedScore(cache, counts, analysis), gene});
      }
      ++gene;
    });
    by_excess = top.Genes();
    eligible_count_ =
        static_cast<std::uint64_t>(std::count(eligible_.begin(), eligible_.end(), true));
    return read && eligible_count_ != 0;
  }

  std::uint64_t set_size() const { return std::min(m_, eligible_count_); }

  std::vector<std::uint64_t> Eligible() const {
    std::vector<std::uint64_t> genes;
    for (std::uint64_t g = 0; g < eligible_.size(); ++g) {
      if (eligible_[g]) genes.push_back(g);
    }
    return genes;
  }

  // Runs one start from `set`; false when the genes cannot be read.
  bool Run(std::vector<std::uint64_t> set, SearchStart& start) {
    std::vector<std::vector<std::uint64_t>> seen;  // the sets of the final size, in order
    if (set.size() == set_size()) seen.push_back(set);
    std::uint64_t size = set.size();
    for (;;) {
      if (start.rounds == kSearchMaxRounds) {
        start.unsettled = true;
        break;
      }
      CodonCounts pooled{};
      if (!Pool(set, pooled)) return false;
      const CodonValues log_odds = LogOdds(pooled);
      size = std::max(set_size(), size / 2);  // halved, never below the set's size
      TopGenes top(static_cast<std::size_t>(size));
      std::uint64_t gene = 0;
      const bool read = genes_([&](const CodonCounts& counts) {
        if (eligible_[gene]) top.Offer({SelectionValue(log_odds, counts), gene});
        ++gene;
      });
      if (!read) return false;
      set = top.Genes();
      ++start.rounds;
      if (set.size() != set_size()) continue;
      const auto earlier = std::find(seen.begin(), seen.end(), set);
      if (earlier != seen.end()) {
        start.cycled = earlier + 1 != seen.end();
        break;
      }
      seen.push_back(set);
    }
    start.genes = std::move(set);
    if (!Pool(start.genes, start.pooled)) return false;
    start.sign = ReferenceSign(s_, start.pooled, input_);
    return true;
  }

 private:
  // The counts of `set`'s genes added up.
  bool Pool(const std::vector<std::uint64_t>& set, CodonCounts& pooled) {
    std::uint64_t gene = 0;
    std::size_t next = 0;
    return genes_([&](const CodonCounts& counts) {
      if (next < set.size() && set[next] == gene) {
        for (std::size_t c = 0; c <= kCodonCount; ++c) pooled[c] += counts[c];
        ++next;
      }
      ++gene;
    });
  }

  // ln(P_c / Q_c) of every codon the input holds, P from `reference` with 0.5 for an
  // absent codon.
  CodonValues LogOdds(const CodonCounts& reference) const {
    CodonValues log_odds{};
    for (std::size_t a = 0; a < s_.acid_count; ++a) {
      const Family& codons = s_.acids[a].codons;
      double total = 0.0;
      for (unsigned m = 0; m < codons.size; ++m) {
        const std::uint64_t count = reference[codons.members[m]];
        total += count == 0 ? kAbsentReferenceCount : static_cast<double>(count);
      }
      for (unsigned m = 0; m < codons.size; ++m) {
        const std::uint8_t c = codons.members[m];
        if (q_[c] == 0.0) continue;
        const double x =
            reference[c] == 0 ? kAbsentReferenceCount : static_cast<double>(reference[c]);
        log_odds[c] = NaturalLog(x / total / q_[c]);
      }
    }
    return log_odds;
  }

  // a_g: the mean over the amino acids the gene uses of their codons' mean log-odds.
  double SelectionValue(const CodonValues& log_odds, const CodonCounts& counts) const {
    double sum = 0.0;
    int acids = 0;
    for (std::size_t a = 0; a < s_.acid_count; ++a) {
      const Family& codons = s_.acids[a].codons;
      std::uint64_t n = 0;
      double acid_sum = 0.0;
      for (unsigned m = 0; m < codons.size; ++m) {
        const std::uint8_t c = codons.members[m];
        n += counts[c];
        acid_sum += static_cast<double>(counts[c]) * log_odds[c];
      }
      if (n == 0) continue;
      sum += acid_sum / static_cast<double>(n);
      ++acids;
    }
    return acids == 0 ? std::numeric_limits<double>::quiet_NaN() : sum / acids;
  }

  const GeneticCode& code_;
  const SynonymousCodons& s_;
  const CodonCounts& input_;
  const GeneCounts& genes_;
  std::uint64_t m_;
  CodonValues q_{};
  std::vector<bool> eligible_;
  std::uint64_t eligible_count_ = 0;
};

}  // namespace

bool SearchReference(const GeneticCode& code, const SynonymousCodons& synonymous,
                     const CodonCounts& input, std::uint64_t sequences, const GeneCounts& genes,
                     SearchResult& result) {
  Search search(code, synonymous, input, sequences, genes);
  std::vector<std::uint64_t> by_excess;
  if (!search.Survey(by_excess)) return false;
  if (!search.Run(std::move(by_excess), result.a)) return false;
  if (!search.Run(search.Eligible(), result.b)) return false;
  result.chose_b = !(result.a.sign > 0) && result.b.sign > 0;
  const std::vector<std::uint64_t>& chosen = result.chosen().genes;
  const std::vector<std::uint64_t>& other = result.chose_b ? result.a.genes : result.b.genes;
  std::vector<std::uint64_t> common;
  std::set_intersection(chosen.begin(), chosen.end(), other.begin(), other.end(),
                        std::back_inserter(common));
  result.starts_agree = static_cast<double>(common.size()) / static_cast<double>(chosen.size());
  return true;
}

}  // namespace trelba
