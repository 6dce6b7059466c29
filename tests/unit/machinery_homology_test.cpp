#include "analysis/machinery_homology.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "analysis/machinery_panel.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"

namespace trelba {
namespace {

// A gene for the protein: one codon a residue (standard code), then a stop.
std::string GeneFor(std::string_view protein) {
  constexpr std::string_view kCodons[] = {"GCT", "CGT", "AAT", "GAT", "TGT", "CAA", "GAA",
                                          "GGT", "CAT", "ATT", "CTT", "AAA", "ATG", "TTT",
                                          "CCT", "TCT", "ACT", "TGG", "TAT", "GTT", "NNN"};
  std::string gene;
  for (const char letter : protein) gene += kCodons[kResidueLetters.find(letter)];
  return gene + "TAA";
}

// The panel's proteins against themselves: the cytosolic ones resemble the panel, the
// decoys (mitochondrial and chloroplast paralogs) do not, nor a protein read backwards.
struct HomologyCase {
  const char* name;
  bool decoy;  // the first (or last) panel protein that is a decoy, or that is not
  bool last;
  bool backwards;
  bool resembles;
};

void PrintTo(const HomologyCase& c, std::ostream* os) {
  *os << c.name;
}

class PanelHomology : public ::testing::TestWithParam<HomologyCase> {};

TEST_P(PanelHomology, TakesCytosolicProteinsAndRefusesDecoys) {
  const HomologyCase& c = GetParam();
  std::string protein;
  for (const PanelProtein& p : kPanel) {
    if (p.decoy == c.decoy && (protein.empty() || c.last)) protein = p.residues;
  }
  ASSERT_FALSE(protein.empty());
  if (c.backwards) protein.assign(protein.rbegin(), protein.rend());
  const std::string gene = GeneFor(protein);
  MachineryHomology homology(SynonymousCodonsOf(GeneticCodeNumber(0)));
  EXPECT_EQ(homology.Resembles(gene.data(), gene.size()), c.resembles);
}

INSTANTIATE_TEST_SUITE_P(Table, PanelHomology,
                         ::testing::Values(HomologyCase{"FirstCytosolic", false, false, false,
                                                        true},
                                           HomologyCase{"LastCytosolic", false, true, false, true},
                                           HomologyCase{"FirstDecoy", true, false, false, false},
                                           HomologyCase{"LastDecoy", true, true, false, false},
                                           HomologyCase{"Backwards", false, false, true, false}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
