#include "analysis/reference_search.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

#include "analysis/background.hpp"
#include "analysis/expected_score.hpp"
#include "analysis/gene_marks.hpp"
#include "analysis/reference_usage.hpp"
#include "analysis/sequence_analysis.hpp"
#include "numeric/natural_log.hpp"

namespace trelba {
namespace {

constexpr int kRadixBits = 16;

struct Ranked {
  std::uint64_t key;
  std::uint64_t gene;
};

// Whether `a` ranks below `b`: a lower key, or the same key and a later gene.
bool RanksBelow(const Ranked& a, const Ranked& b) {
  return a.key != b.key ? a.key < b.key : a.gene > b.gene;
}

// The `size` genes of highest key seen, kept in a heap whose top is the lowest of them.
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

  // The cut that keeps these genes, and the genes, ascending.
  void To(SetRule& rule) const {
    rule.cut = LowestKept();
    rule.listed = true;
    rule.genes.clear();
    for (const Ranked& ranked : heap_) rule.genes.push_back(ranked.gene);
    std::sort(rule.genes.begin(), rule.genes.end());
  }

  // The lowest key kept, and how many of the genes of that key are kept (the earliest, as
  // the heap keeps them).
  Cut LowestKept() const {
    Cut cut;
    if (heap_.empty()) return cut;
    cut.key = heap_.front().key;
    for (const Ranked& ranked : heap_) cut.ties += ranked.key == cut.key;
    return cut;
  }

 private:
  std::size_t size_;
  std::vector<Ranked> heap_;
};

// Mixes a gene's index into a set's fingerprint (splitmix64's finaliser).
std::uint64_t Mix(std::uint64_t h, std::uint64_t gene, std::uint64_t salt) {
  std::uint64_t z = h ^ (gene + salt);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

}  // namespace

std::uint64_t OrderKey(double value) {
  if (value != value) return 0;
  if (value == 0.0) value = 0.0;  // -0 ranks with +0
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
  return (bits & kSign) != 0 ? ~bits : bits | kSign;
}

GeneValues::GeneValues(const GeneticCode& code, const SynonymousCodons& synonymous,
                       const CodonCounts& input)
    : code_(code), s_(synonymous), input_(input) {
  // Q: the reference's usage against the input's own, with the reference the input.
  q_ = UsageAgainst(synonymous, input, input).q;
}

double GeneValues::Excess(const CodonCounts& counts) {
  if (!cache_) cache_.emplace(code_, PooledBackground(code_, input_));
  AnalyseSequence(code_, counts, analysis_);
  return analysis_.score - ExpectedScore(*cache_, counts, analysis_);
}

CodonValues GeneValues::LogOdds(const CodonCounts& reference) const {
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

double GeneValues::Selection(const CodonValues& log_odds, const CodonCounts& counts) const {
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

double GeneValues::Value(const SetRule& rule, const CodonCounts& counts) {
  return rule.by == SetRule::By::kExcess ? Excess(counts) : Selection(rule.log_odds, counts);
}

bool RuleWalk::Next(const CodonCounts& counts, std::uint8_t marks) {
  const std::uint64_t gene = gene_++;
  if (rule_.listed) {
    if (listed_ == rule_.genes.size() || rule_.genes[listed_] != gene) return false;
    ++listed_;
    return true;
  }
  if (rule_.by == SetRule::By::kNamed) return (marks & rule_.mark) != 0;
  if ((marks & kMarkEligible) == 0) return false;
  if (rule_.by == SetRule::By::kAll) return true;
  const std::uint64_t key = OrderKey(values_.Value(rule_, counts));
  if (key > rule_.cut.key) return true;
  return key == rule_.cut.key && ties_seen_++ < rule_.cut.ties;
}

namespace {

// The state of one search over the input's genes: a few sets' rules and the pooled counts
// of the latest, never a list of genes, so that its memory does not grow with the input.
class Search {
 public:
  Search(const GeneticCode& code, const SynonymousCodons& s, const CodonCounts& input,
         std::uint64_t sequences, const GeneCounts& genes, std::uint64_t heap_genes)
      : heap_genes_(heap_genes),
        s_(s),
        input_(input),
        genes_(genes),
        values_(code, s, input),
        m_(std::max<std::uint64_t>(1, (sequences + 99) / 100)) {}

  // Counts the eligible genes; false when the genes cannot be read.
  bool Survey() {
    return genes_([&](const CodonCounts&, std::uint8_t marks) {
             eligible_ += marks & kMarkEligible;
           }) &&
           eligible_ != 0;
  }

  std::uint64_t set_size() const { return std::min(m_, eligible_); }

  // Start A's first set: the genes of highest excess under Q.
  bool StartA(SetRule& rule) {
    rule.by = SetRule::By::kExcess;
    return Choose(rule, set_size());
  }

  // Start B's first set: every eligible gene.
  static SetRule StartB() {
    SetRule rule;
    rule.by = SetRule::By::kAll;
    return rule;
  }

  // Runs one start from `rule`, a set of `size` genes; false when the genes cannot be
  // read.
  bool Run(SetRule rule, std::uint64_t size, SearchStart& start) {
    std::vector<std::uint64_t> seen;  // the fingerprints of the sets of the final size
    std::uint64_t fingerprint = 0;
    if (!Pool(rule, start.pooled, fingerprint)) return false;
    if (size == set_size()) seen.push_back(fingerprint);
    for (;;) {
      if (start.rounds == kSearchMaxRounds) {
        start.unsettled = true;
        break;
      }
      SetRule next;
      next.by = SetRule::By::kLogOdds;
      next.log_odds = values_.LogOdds(start.pooled);
      size = std::max(set_size(), size / 2);  // halved, never below the set's size
      if (!Choose(next, size)) return false;
      rule = std::move(next);
      ++start.rounds;
      start.pooled = CodonCounts{};
      if (!Pool(rule, start.pooled, fingerprint)) return false;
      if (size != set_size()) continue;
      const auto earlier = std::find(seen.begin(), seen.end(), fingerprint);
      if (earlier != seen.end()) {
        start.cycled = earlier + 1 != seen.end();
        break;
      }
      seen.push_back(fingerprint);
    }
    start.rule = std::move(rule);
    start.genes = std::min(size, eligible_);
    start.sign = ReferenceSign(s_, start.pooled, input_);
    return true;
  }

  // The genes both sets hold; false when the genes cannot be read.
  bool Common(const SetRule& a, const SetRule& b, std::uint64_t& common) {
    RuleWalk walk_a(a, values_), walk_b(b, values_);
    return genes_([&](const CodonCounts& counts, std::uint8_t marks) {
      const bool in_a = walk_a.Next(counts, marks);
      const bool in_b = walk_b.Next(counts, marks);
      common += in_a && in_b;
    });
  }

  std::uint64_t eligible() const { return eligible_; }

 private:
  // Sets `rule.cut` to keep the `size` eligible genes of highest value under `rule`, ties
  // to the earlier gene; false when the genes cannot be read.
  bool Choose(SetRule& rule, std::uint64_t size) {
    if (size <= heap_genes_) {
      TopGenes top(static_cast<std::size_t>(size));
      std::uint64_t gene = 0;
      const bool read = genes_([&](const CodonCounts& counts, std::uint8_t marks) {
        if ((marks & kMarkEligible) != 0) top.Offer({OrderKey(values_.Value(rule, counts)), gene});
        ++gene;
      });
      top.To(rule);
      return read;
    }
    // The key of the size-th gene, 16 bits a pass from the highest: how many genes fall in
    // each value of the next 16 bits among those that share the bits found so far, until
    // the size-th gene's bucket is small enough to be ranked whole.
    rule.listed = false;
    rule.genes = {};
    std::vector<std::uint64_t> histogram(std::size_t{1} << kRadixBits);
    std::uint64_t prefix = 0;
    std::uint64_t wanted = size;
    int shift = 64;
    do {
      shift -= kRadixBits;
      std::fill(histogram.begin(), histogram.end(), 0);
      const int known = 64 - kRadixBits - shift;  // bits of `prefix`
      const bool read = genes_([&](const CodonCounts& counts, std::uint8_t marks) {
        if ((marks & kMarkEligible) == 0) return;
        const std::uint64_t key = OrderKey(values_.Value(rule, counts));
        if (known != 0 && key >> (shift + kRadixBits) != prefix) return;
        ++histogram[(key >> shift) & ((std::uint64_t{1} << kRadixBits) - 1)];
      });
      if (!read) return false;
      std::size_t bucket = histogram.size();
      while (bucket > 0 && histogram[bucket - 1] < wanted) wanted -= histogram[--bucket];
      if (bucket == 0) {  // fewer genes than wanted: all of them
        rule.cut = Cut{0, std::numeric_limits<std::uint64_t>::max()};
        return true;
      }
      prefix = (prefix << kRadixBits) | (bucket - 1);
      if (histogram[bucket - 1] == wanted && prefix << shift != 0) {
        rule.cut = Cut{(prefix << shift) - 1, 0};  // the whole bucket and all above it
        return true;
      }
      if (histogram[bucket - 1] <= heap_genes_) break;
    } while (shift != 0);
    // The bucket's `wanted` highest genes, ranked whole.
    TopGenes top(static_cast<std::size_t>(wanted));
    std::uint64_t gene = 0;
    const bool read = genes_([&](const CodonCounts& counts, std::uint8_t marks) {
      if ((marks & kMarkEligible) != 0) {
        const std::uint64_t key = OrderKey(values_.Value(rule, counts));
        if (key >> shift == prefix) top.Offer({key, gene});
      }
      ++gene;
    });
    rule.cut = top.LowestKept();
    return read;
  }

  // The counts of the genes of `rule` added up into `pooled`, and the set's fingerprint.
  bool Pool(const SetRule& rule, CodonCounts& pooled, std::uint64_t& fingerprint) {
    RuleWalk walk(rule, values_);
    std::uint64_t gene = 0;
    std::uint64_t h1 = 0, h2 = 0;
    const bool read = genes_([&](const CodonCounts& counts, std::uint8_t marks) {
      if (walk.Next(counts, marks)) {
        for (std::size_t c = 0; c <= kCodonCount; ++c) pooled[c] += counts[c];
        h1 = Mix(h1, gene, 0x9e3779b97f4a7c15ULL);
        h2 = Mix(h2, gene, 0x632be59bd9b4e019ULL);
      }
      ++gene;
    });
    fingerprint = h1 ^ (h2 << 1 | h2 >> 63);
    return read;
  }

  std::uint64_t heap_genes_;
  const SynonymousCodons& s_;
  const CodonCounts& input_;
  const GeneCounts& genes_;
  GeneValues values_;
  std::uint64_t m_;
  std::uint64_t eligible_ = 0;
};

}  // namespace

bool SearchReference(const GeneticCode& code, const SynonymousCodons& synonymous,
                     const CodonCounts& input, std::uint64_t sequences, const GeneCounts& genes,
                     SearchResult& result, std::uint64_t heap_genes, bool only_a) {
  Search search(code, synonymous, input, sequences, genes, heap_genes);
  if (!search.Survey()) return false;
  SetRule first_a;
  if (!search.StartA(first_a)) return false;
  if (!search.Run(first_a, search.set_size(), result.a)) return false;
  if (only_a) return true;
  if (!search.Run(Search::StartB(), search.eligible(), result.b)) return false;
  result.chose_b = !(result.a.sign > 0) && result.b.sign > 0;
  std::uint64_t common = 0;
  if (!search.Common(result.a.rule, result.b.rule, common)) return false;
  result.starts_agree = static_cast<double>(common) / static_cast<double>(result.chosen().genes);
  return true;
}

}  // namespace trelba
