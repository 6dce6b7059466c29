// Our protein aligner (protein_alignment.hpp) beside parasail's striped Smith-Waterman: every
// protein of a CDS FASTA file (the standard code, 30 to 1,500 residues as
// machinery_homology.hpp keeps them) against every protein of the panel, one thread. Prints
// the time and pairs a second of (a) MachineryHomology::Resembles (the word prefilter, then
// the band), (b) our full score, (c) parasail's with the same matrix and gaps; the share of
// pairs whose scores (b) and (c) agree; and the genes the share rule of
// machinery_homology.hpp takes with each (for (a), those Resembles takes).
//
// usage: aligner_vs_parasail CDS.fna[.gz] [STRIDE]
// (b) runs on every STRIDE-th gene (default 1), to bound its time, and on every gene (a) or
// (c) takes; (a) and (c) on all.
#include <parasail.h>
#include <parasail/matrices/blosum62.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/machinery_homology.hpp"
#include "analysis/machinery_panel.hpp"
#include "analysis/protein_alignment.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "input/codon_index.hpp"

namespace {

using Scores = std::vector<int>;  // a gene's score against each panel protein

struct Gene {
  std::string name;  // the header's first word
  std::string body;
  std::string protein;              // kResidueLetters
  std::vector<std::uint8_t> codes;  // their indices
};

std::vector<std::uint8_t> ResidueCodes(std::string_view letters) {
  std::vector<std::uint8_t> codes;
  for (const char letter : letters) {
    const std::size_t at = trelba::kResidueLetters.find(letter);
    codes.push_back(
        static_cast<std::uint8_t>(at == std::string_view::npos ? trelba::kUnknownResidue : at));
  }
  return codes;
}

// The protein as Resembles translates it: a residue a triple of letters other than
// whitespace, X for one of no amino acid, the stop at the end left out.
std::string Translate(const std::string& body, const trelba::SynonymousCodons& synonymous) {
  std::string protein;
  std::string triple;
  for (const char letter : body) {
    if (trelba::kByteClasses[static_cast<unsigned char>(letter)] == trelba::kWhitespace) continue;
    triple += letter;
    if (triple.size() < 3) continue;
    const int codon = trelba::CodonIndex(triple[0], triple[1], triple[2]);
    const std::uint8_t acid = codon > 0 ? synonymous.acid_of[static_cast<std::size_t>(codon)] : 0;
    protein += acid != 0 ? trelba::kFamilyLetters[acid] : 'X';
    triple.clear();
  }
  if (!protein.empty() && protein.back() == 'X') protein.pop_back();
  return protein;
}

std::vector<Gene> ReadGenes(const char* name, const trelba::SynonymousCodons& synonymous) {
  gzFile in = gzopen(name, "rb");
  if (in == nullptr) return {};
  std::string text;
  std::array<char, 1 << 16> block{};
  for (int got; (got = gzread(in, block.data(), block.size())) > 0;) {
    text.append(block.data(), static_cast<std::size_t>(got));
  }
  gzclose(in);
  std::vector<Gene> genes;
  std::size_t at = 0;
  while ((at = text.find('>', at)) != std::string::npos) {
    const std::size_t body = text.find('\n', at);
    if (body == std::string::npos) break;
    const std::size_t name_end = std::min(body, text.find_first_of(" \t\r", at));
    const std::size_t end = text.find('>', body);
    Gene gene{text.substr(at + 1, name_end - at - 1),
              text.substr(body, end == std::string::npos ? end : end - body),
              {},
              {}};
    at = end;
    gene.protein = Translate(gene.body, synonymous);
    gene.codes = ResidueCodes(gene.protein);
    if (gene.protein.size() >= trelba::kMinMachineryResidues &&
        gene.protein.size() <= trelba::kMaxMachineryResidues) {
      genes.push_back(std::move(gene));
    }
    if (at == std::string::npos) break;
  }
  return genes;
}

// The rule of machinery_homology.hpp on every panel protein's score: the best cytosolic
// share of a protein's score against itself reaches kHomologShareTenths / 10, and no decoy's
// share reaches it.
bool Taken(const Scores& score, const Scores& self) {
  std::int64_t cytosolic = 0, cytosolic_self = 1, decoy = 0, decoy_self = 1;
  for (std::size_t p = 0; p < score.size(); ++p) {
    std::int64_t& best = trelba::kPanel[p].decoy ? decoy : cytosolic;
    std::int64_t& best_self = trelba::kPanel[p].decoy ? decoy_self : cytosolic_self;
    if (std::int64_t{score[p]} * best_self > best * self[p]) {
      best = score[p];
      best_self = self[p];
    }
  }
  return cytosolic * 10 >= cytosolic_self * trelba::kHomologShareTenths &&
         decoy * cytosolic_self < cytosolic * decoy_self;
}

// Times align(g, p) on the genes g of `which` against every panel protein p, in processor
// time (steadier than wall time on a shared machine; one thread). `cells`: whether to print
// the dynamic programming's cells a second (a gene's residues times the panel's).
template <typename Align>
void Time(const char* what, const std::vector<Gene>& genes, const std::vector<std::size_t>& which,
          bool cells, Align align) {
  std::size_t residues = 0;
  for (const std::size_t g : which) residues += genes[g].protein.size();
  const std::clock_t start = std::clock();
  for (const std::size_t g : which) {
    for (std::size_t p = 0; p < trelba::kPanel.size(); ++p) align(g, p);
  }
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  const auto pairs = static_cast<double>(which.size() * trelba::kPanel.size());
  std::printf("%-38s %9.0f pairs %8.2f s %10.0f pairs/s", what, pairs, seconds, pairs / seconds);
  if (cells) {
    std::size_t panel_residues = 0;
    for (const trelba::PanelProtein& protein : trelba::kPanel) {
      panel_residues += protein.residues.size();
    }
    std::printf(" %7.0f M cells/s",
                static_cast<double>(residues * panel_residues) / seconds * 1e-6);
  }
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: aligner_vs_parasail CDS.fna[.gz] [STRIDE]\n");
    return 255;
  }
  const std::size_t stride =
      std::max<std::size_t>(1, argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);
  const trelba::SynonymousCodons synonymous =
      trelba::SynonymousCodonsOf(trelba::GeneticCodeNumber(0));
  const std::vector<Gene> genes = ReadGenes(argv[1], synonymous);
  const std::size_t panel = trelba::kPanel.size();
  // The gaps of protein_alignment.hpp: parasail's open is a gap's first residue.
  constexpr int kOpen = trelba::kGapOpen + trelba::kGapExtend;
  constexpr int kExtend = trelba::kGapExtend;

  std::vector<std::vector<std::uint8_t>> codes;
  std::vector<parasail_profile_t*> profiles_16, profiles_sat;
  std::size_t longest = 0;
  for (const trelba::PanelProtein& protein : trelba::kPanel) {
    codes.push_back(ResidueCodes(protein.residues));
    const auto size = static_cast<int>(protein.residues.size());
    profiles_16.push_back(
        parasail_profile_create_16(protein.residues.data(), size, &parasail_blosum62));
    profiles_sat.push_back(
        parasail_profile_create_sat(protein.residues.data(), size, &parasail_blosum62));
    longest = std::max(longest, protein.residues.size());
  }
  std::vector<std::int32_t> h(longest + 1), e(longest + 1);
  const auto ours = [&](const std::vector<std::uint8_t>& a, std::size_t p) {
    return trelba::LocalAlignmentScore(a.data(), a.size(), codes[p].data(), codes[p].size(),
                                       h.data(), e.data());
  };
  const auto theirs = [&](auto align, parasail_profile_t* profile, const std::string& protein) {
    parasail_result_t* result =
        align(profile, protein.data(), static_cast<int>(protein.size()), kOpen, kExtend);
    const int score = parasail_result_is_saturated(result) ? -1 : parasail_result_get_score(result);
    parasail_result_free(result);
    return score;
  };
  Scores self_ours(panel), self_theirs(panel);
  for (std::size_t p = 0; p < panel; ++p) {
    const std::string residues(trelba::kPanel[p].residues);
    self_ours[p] = ours(codes[p], p);
    self_theirs[p] = theirs(parasail_sw_striped_profile_16, profiles_16[p], residues);
  }
  std::printf("%s: %zu proteins of 30 to 1,500 residues, %zu panel proteins\n", argv[1],
              genes.size(), panel);

  // (a) as a run calls it, on each gene's letters (counted as one call per pair).
  trelba::MachineryHomology homology(synonymous);
  std::vector<bool> taken_a(genes.size());
  std::vector<std::size_t> all(genes.size());
  for (std::size_t g = 0; g < genes.size(); ++g) all[g] = g;
  Time("(a) ours, word prefilter and band", genes, all, false, [&](std::size_t g, std::size_t p) {
    if (p == 0) taken_a[g] = homology.Resembles(genes[g].body.data(), genes[g].body.size());
  });
  // (c) on every gene, 16-bit and 8-bit first (sat).
  std::vector<Scores> scores_c(genes.size(), Scores(panel)), scores_b(genes.size());
  Time("(c) parasail_sw_striped_profile_16", genes, all, true, [&](std::size_t g, std::size_t p) {
    scores_c[g][p] = theirs(parasail_sw_striped_profile_16, profiles_16[p], genes[g].protein);
  });
  std::size_t sat_differs = 0;
  Time("(c) parasail_sw_striped_profile_sat", genes, all, true, [&](std::size_t g, std::size_t p) {
    sat_differs += theirs(parasail_sw_striped_profile_sat, profiles_sat[p], genes[g].protein) !=
                   scores_c[g][p];
  });
  // (b) on every stride-th gene and every gene (a) or (c) takes.
  std::vector<bool> taken_c(genes.size());
  std::vector<std::size_t> sample;
  for (std::size_t g = 0; g < genes.size(); ++g) {
    taken_c[g] = Taken(scores_c[g], self_theirs);
    if (g % stride == 0 || taken_a[g] || taken_c[g]) sample.push_back(g);
  }
  Time("(b) ours, full", genes, sample, true, [&](std::size_t g, std::size_t p) {
    if (p == 0) scores_b[g].resize(panel);
    scores_b[g][p] = ours(genes[g].codes, p);
  });

  std::size_t self_equal = 0, equal = 0, pairs_above = 0, equal_above = 0;
  for (std::size_t p = 0; p < panel; ++p) self_equal += self_ours[p] == self_theirs[p];
  std::array<std::size_t, 4> taken{};  // (a), (b), (c), and all three
  for (const std::size_t g : sample) {
    for (std::size_t p = 0; p < panel; ++p) {
      const bool same = scores_b[g][p] == scores_c[g][p];
      equal += same;
      if (scores_c[g][p] * 10 >= self_theirs[p] * trelba::kHomologShareTenths) {
        ++pairs_above;
        equal_above += same;
      }
    }
    const bool b = Taken(scores_b[g], self_ours);
    taken[0] += taken_a[g];
    taken[1] += b;
    taken[2] += taken_c[g];
    taken[3] += taken_a[g] && b && taken_c[g];
  }
  std::printf("self scores equal: %zu of %zu; sat differs from 16-bit: %zu pairs\n", self_equal,
              panel, sat_differs);
  std::printf("(b) = (c): %zu of %zu pairs; of the pairs reaching the share: %zu of %zu\n", equal,
              sample.size() * panel, equal_above, pairs_above);
  std::printf("genes taken: (a) %zu, (b) %zu, (c) %zu, by all three %zu\n", taken[0], taken[1],
              taken[2], taken[3]);
  // Those not all take, with the panel protein of their best share by (c).
  for (const std::size_t g : sample) {
    const bool b = Taken(scores_b[g], self_ours);
    if (taken_a[g] == b && b == taken_c[g]) continue;
    std::size_t best = 0;
    for (std::size_t p = 0; p < panel; ++p) {
      if (std::int64_t{scores_c[g][p]} * self_theirs[best] >
          std::int64_t{scores_c[g][best]} * self_theirs[p]) {
        best = p;
      }
    }
    std::printf("  %s (%zu residues): (a) %d (b) %d (c) %d; %s %d of %d\n", genes[g].name.c_str(),
                genes[g].protein.size(), int{taken_a[g]}, int{b}, int{taken_c[g]},
                std::string(trelba::kPanel[best].name).c_str(), scores_c[g][best],
                self_theirs[best]);
  }
  for (std::size_t p = 0; p < panel; ++p) {
    parasail_profile_free(profiles_16[p]);
    parasail_profile_free(profiles_sat[p]);
  }
  return 0;
}
