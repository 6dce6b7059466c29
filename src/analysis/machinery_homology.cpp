#include "analysis/machinery_homology.hpp"

#include <algorithm>

#include "analysis/machinery_panel.hpp"
#include "analysis/protein_alignment.hpp"
#include "input/codon_index.hpp"

namespace trelba {

namespace {

constexpr std::size_t kWords = 20 * 20 * 20;

std::uint8_t ResidueCode(char letter) {
  const std::size_t at = kResidueLetters.find(letter);
  return static_cast<std::uint8_t>(at == std::string_view::npos ? kUnknownResidue : at);
}

unsigned WordAt(const std::uint8_t* r) {
  return (static_cast<unsigned>(r[0]) * 20 + r[1]) * 20 + r[2];
}

// The panel as residue codes, each protein's score against itself, and for every word the
// proteins that hold it (once each), built once for the whole process.
struct PanelIndex {
  std::vector<std::uint8_t> residues;
  std::vector<std::uint32_t> begin;  // kPanel.size() + 1 offsets into `residues`
  std::vector<std::int32_t> self;
  std::vector<std::uint32_t> word_begin;  // kWords + 1 offsets into `word_proteins`
  std::vector<std::uint16_t> word_proteins;
  std::size_t longest = 0;

  PanelIndex() {
    begin.push_back(0);
    for (const PanelProtein& protein : kPanel) {
      for (const char letter : protein.residues) residues.push_back(ResidueCode(letter));
      begin.push_back(static_cast<std::uint32_t>(residues.size()));
      longest = std::max(longest, protein.residues.size());
    }
    std::vector<std::int32_t> h(longest + 1), e(longest + 1);
    std::vector<std::uint32_t> count(kWords + 1, 0);
    std::vector<std::uint32_t> last(kWords, UINT32_MAX);
    const auto each_word = [&](auto visit) {
      for (std::uint32_t p = 0; p < kPanel.size(); ++p) {
        for (std::uint32_t i = begin[p]; i + 3 <= begin[p + 1]; ++i) {
          const std::uint8_t* r = &residues[i];
          if (r[0] == kUnknownResidue || r[1] == kUnknownResidue || r[2] == kUnknownResidue) {
            continue;
          }
          const unsigned word = WordAt(r);
          if (last[word] == p) continue;
          last[word] = p;
          visit(word, p);
        }
      }
    };
    each_word([&](unsigned word, std::uint32_t) { ++count[word + 1]; });
    word_begin.assign(kWords + 1, 0);
    for (std::size_t w = 0; w < kWords; ++w) word_begin[w + 1] = word_begin[w] + count[w + 1];
    word_proteins.resize(word_begin[kWords]);
    std::vector<std::uint32_t> fill(word_begin.begin(), word_begin.end() - 1);
    std::fill(last.begin(), last.end(), UINT32_MAX);
    each_word([&](unsigned word, std::uint32_t p) {
      word_proteins[fill[word]++] = static_cast<std::uint16_t>(p);
    });
    for (std::size_t p = 0; p < kPanel.size(); ++p) {
      const std::uint8_t* r = &residues[begin[p]];
      const std::size_t n = begin[p + 1] - begin[p];
      self.push_back(LocalAlignmentScore(r, n, r, n, h.data(), e.data()));
    }
  }
};

const PanelIndex& Index() {
  static const PanelIndex index;
  return index;
}

}  // namespace

MachineryHomology::MachineryHomology(const SynonymousCodons& synonymous) {
  residue_of_.fill(kUnknownResidue);
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::uint8_t acid = synonymous.acid_of[c];
    if (acid != 0) residue_of_[c] = ResidueCode(kFamilyLetters[acid]);
  }
  const PanelIndex& index = Index();
  shared_.assign(kPanel.size(), 0);
  place_of_.assign(kWords, 0);
  diagonal_.assign(kMaxMachineryResidues + index.longest + 1, 0);
  h_.assign(index.longest + 1, 0);
  e_.assign(index.longest + 1, 0);
}

bool MachineryHomology::Resembles(const char* body, std::size_t size) {
  // The protein: one residue a triple, the stop at the end left out.
  std::size_t n = 0;
  unsigned letters = 0;
  std::array<char, 3> triple{};
  for (std::size_t i = 0; i < size; ++i) {
    const auto byte = static_cast<unsigned char>(body[i]);
    if (kByteClasses[byte] == kWhitespace) continue;
    triple[letters++] = static_cast<char>(byte);
    if (letters < 3) continue;
    letters = 0;
    if (n == kMaxMachineryResidues + 1) return false;
    const int codon = CodonIndex(triple[0], triple[1], triple[2]);
    protein_[n++] = codon > 0 ? residue_of_[static_cast<std::size_t>(codon)] : kUnknownResidue;
  }
  if (n > 0 && protein_[n - 1] == kUnknownResidue) --n;
  if (n < kMinMachineryResidues || n > kMaxMachineryResidues) return false;
  const PanelIndex& index = Index();
  std::fill(shared_.begin(), shared_.end(), std::uint16_t{0});
  for (std::size_t i = 0; i + 3 <= n; ++i) {
    const std::uint8_t* r = &protein_[i];
    if (r[0] == kUnknownResidue || r[1] == kUnknownResidue || r[2] == kUnknownResidue) continue;
    const unsigned word = WordAt(r);
    for (std::uint32_t k = index.word_begin[word]; k < index.word_begin[word + 1]; ++k) {
      ++shared_[index.word_proteins[k]];
    }
  }
  // The candidates, most shared words above chance first (the lower panel number among
  // equals), so that a long protein's chance words do not pass a short homolog's: the
  // cytosolic ones, then the decoy.
  std::array<std::uint32_t, kAlignedCandidates + 1> best{};
  std::array<std::uint64_t, kAlignedCandidates + 1> best_shared{};
  for (std::uint32_t p = 0; p < shared_.size(); ++p) {
    // At least kChanceWordsTimes the words two unrelated proteins of these lengths share
    // (one in 8,000 pairs of places), in 8,000ths of a word.
    const std::uint64_t words = std::uint64_t{shared_[p]} * kWords;
    const std::uint64_t chance = std::uint64_t{n} * (index.begin[p + 1] - index.begin[p]);
    if (shared_[p] < kMinSharedWords || words < kChanceWordsTimes * chance) continue;
    std::uint64_t value = words - chance;  // above 0: words is at least twice chance
    std::uint32_t who = p;
    const bool decoy = kPanel[p].decoy;
    for (std::size_t k = decoy ? kAlignedCandidates : 0;
         k < (decoy ? best.size() : kAlignedCandidates); ++k) {
      if (value > best_shared[k]) {
        std::swap(value, best_shared[k]);
        std::swap(who, best[k]);
      }
    }
  }
  // The best share of a cytosolic protein's score against itself, as score and self; the
  // decoy (if any) is aligned only to a gene that share takes.
  std::int64_t cytosolic_score = 0;
  std::int64_t cytosolic_self = 1;
  for (std::size_t k = 0; k < best.size(); ++k) {
    if (best_shared[k] == 0) continue;
    const bool decoy = k == kAlignedCandidates;
    if (decoy && cytosolic_score * 10 < cytosolic_self * kHomologShareTenths) break;
    const std::uint32_t p = best[k];
    std::ptrdiff_t offset = 0;
    if (!BestBand(p, n, offset)) continue;
    const std::int64_t score = LocalAlignmentScore(
        protein_.data(), n, &index.residues[index.begin[p]], index.begin[p + 1] - index.begin[p],
        h_.data(), e_.data(), offset, kBand);
    const std::int64_t self = index.self[p];
    if (decoy) return score * cytosolic_self < cytosolic_score * self;
    if (score * cytosolic_self > cytosolic_score * self) {
      cytosolic_score = score;
      cytosolic_self = self;
    }
    if (best_shared[kAlignedCandidates] == 0 && score * 10 >= self * kHomologShareTenths) {
      return true;
    }
  }
  return cytosolic_score * 10 >= cytosolic_self * kHomologShareTenths;
}

bool MachineryHomology::BestBand(std::uint32_t p, std::size_t n, std::ptrdiff_t& offset) {
  const PanelIndex& index = Index();
  const std::uint8_t* const panel = &index.residues[index.begin[p]];
  const std::size_t m = index.begin[p + 1] - index.begin[p];
  const auto each_word = [](const std::uint8_t* r, std::size_t size, auto visit) {
    for (std::size_t i = 0; i + 3 <= size; ++i) {
      if (r[i] == kUnknownResidue || r[i + 1] == kUnknownResidue || r[i + 2] == kUnknownResidue) {
        continue;
      }
      visit(WordAt(r + i), i);
    }
  };
  each_word(panel, m, [&](unsigned word, std::size_t j) {
    if (place_of_[word] == 0) place_of_[word] = static_cast<std::uint16_t>(j + 1);
  });
  // Diagonal d = j - i + n, 0 to n + m.
  each_word(protein_.data(), n, [&](unsigned word, std::size_t i) {
    const std::uint16_t place = place_of_[word];
    if (place != 0) ++diagonal_[place - 1 + n - i];
  });
  each_word(panel, m, [&](unsigned word, std::size_t) { place_of_[word] = 0; });
  const std::size_t diagonals = n + m;
  const auto width = static_cast<std::size_t>(2 * kBand + 1);
  unsigned sum = 0;
  unsigned best = 0;
  std::size_t best_end = 0;
  for (std::size_t d = 0; d < diagonals; ++d) {
    sum += diagonal_[d];
    if (d >= width) sum -= diagonal_[d - width];
    if (sum > best) {
      best = sum;
      best_end = d;
    }
  }
  std::fill(diagonal_.begin(), diagonal_.begin() + static_cast<std::ptrdiff_t>(diagonals),
            std::uint16_t{0});
  // The band's middle diagonal.
  const auto middle = static_cast<std::ptrdiff_t>(best_end) - kBand;
  offset = middle - static_cast<std::ptrdiff_t>(n);
  return best >= kMinDiagonalWords;
}

}  // namespace trelba
