// The search for a reference set: a set chosen by its keys' bits, pass after pass, holds the
// genes a heap of them would hold, whatever the largest set kept in a heap; and which
// headers name a protein of the cytosolic translation machinery.
#include "analysis/reference_search.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/gene_marks.hpp"
#include "analysis/machinery_names.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"
#include "synonymous_draws.hpp"

namespace trelba {
namespace {

// 3,000 genes of the skewed background, redrawn from it, every seventh with its third
// positions pulled towards C: a genome whose sets are chosen from hundreds of genes.
std::vector<CodonCounts> Genome() {
  const GeneticCode& code = GeneticCodeNumber(0);
  const CodonCounts skew = test::SkewedCounts();
  const Background background = PooledBackground(code, skew);
  std::mt19937_64 random(20240611);
  std::vector<CodonCounts> genes;
  for (std::uint64_t g = 0; g < 3000; ++g) {
    CodonCounts gene{};
    for (std::size_t c = 1; c <= kCodonCount; ++c) gene[c] = skew[c] * (1 + g % 3);
    gene = test::Redraw(code, background, gene, random);
    if (g % 7 == 0) {
      for (std::size_t c = 2; c <= kCodonCount; c += 4) gene[c] += gene[c - 1] / 2;
    }
    genes.push_back(gene);
  }
  return genes;
}

struct Found {
  SearchResult result;
  std::vector<std::uint64_t> a, b;  // the genes of each start's set
};

Found Search(const std::vector<CodonCounts>& genes, std::uint64_t heap_genes) {
  const GeneticCode& code = GeneticCodeNumber(0);
  const SynonymousCodons synonymous = SynonymousCodonsOf(code);
  const CodonCounts pooled = test::Pooled(genes);
  const GeneCounts visit_all = [&](const GeneVisit& visit) {
    for (const CodonCounts& gene : genes) visit(gene, GeneMarks(synonymous, gene, ""));
    return true;
  };
  Found found;
  EXPECT_TRUE(SearchReference(code, synonymous, pooled, genes.size() * 10, visit_all, found.result,
                              heap_genes));
  for (const auto& [start, list] :
       {std::pair{&found.result.a, &found.a}, std::pair{&found.result.b, &found.b}}) {
    FoundMembers members(code, synonymous, pooled, start->rule);
    for (std::uint64_t g = 0; g < genes.size(); ++g) {
      if (members.Next(genes[g], GeneMarks(synonymous, genes[g], ""))) list->push_back(g);
    }
  }
  return found;
}

class ChosenByBits : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(ChosenByBits, HoldsWhatAHeapHolds) {
  const std::vector<CodonCounts> genes = Genome();
  const Found heap = Search(genes, kHeapGenes);
  const Found bits = Search(genes, GetParam());
  EXPECT_EQ(bits.a, heap.a);
  EXPECT_EQ(bits.b, heap.b);
  EXPECT_EQ(bits.result.a.rounds, heap.result.a.rounds);
  EXPECT_EQ(bits.result.b.rounds, heap.result.b.rounds);
  EXPECT_EQ(bits.result.b.pooled, heap.result.b.pooled);
  EXPECT_EQ(bits.result.starts_agree, heap.result.starts_agree);
  EXPECT_EQ(heap.b.size(), heap.result.b.genes);
  EXPECT_EQ(heap.a.size(), 300u);
}

// 1: every set by its bits; 40: the buckets of a few hundred genes ranked whole.
INSTANTIATE_TEST_SUITE_P(HeapOf, ChosenByBits, ::testing::Values(1, 40, 299, 300));

struct NameCase {
  const char* description;
  bool named;
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << '"' << c.description << '"';
}

class MachineryNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(MachineryNames, AreTheProductsOfTheCytosolicMachinery) {
  EXPECT_EQ(NamesTranslationMachinery(GetParam().description), GetParam().named);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MachineryNames,
    ::testing::Values(
        NameCase{"[gene=rplB] [locus_tag=b3317] [protein=50S ribosomal protein L2] [gbkey=CDS]",
                 true},
        NameCase{"50S ribosomal protein L7/L12", true},
        NameCase{"rplB 1..825(+) 50S ribosomal protein L2", true},
        NameCase{"40S ribosomal protein SA", true},
        NameCase{"60S acidic ribosomal protein P0", true},
        NameCase{"30S ribosomal protein S14 type Z", true},
        NameCase{"50S ribosomal protein L7Ae", true},
        NameCase{"ID=x_1;product=30S ribosomal protein S6;locus_tag=x_1", true},
        NameCase{"Elongation factor Tu 1", true}, NameCase{"elongation factor 1-alpha 1", true},
        NameCase{"[protein=translation elongation factor EF-G]", true},
        NameCase{"Elongation factor Ts", true}, NameCase{"Elongation factor 2", true},
        // Prokka's and Bakta's protein headers: the locus tag, then the product.
        NameCase{"PROKKA_00012 50S ribosomal protein L30", true},
        NameCase{"ABCD_00310 Elongation factor G", true},
        // GenBank's /product and GFF3's product as the readers give them.
        NameCase{"[locus_tag=Rv0704] [protein=50S ribosomal protein L2] [location=x]", true},
        NameCase{"ID=cds-1;Parent=gene-1;product=translation elongation factor Ts", true},
        NameCase{"ribosomal protein S6 modification protein", false},
        NameCase{"[protein=28S ribosomal protein S29, mitochondrial]", false},
        NameCase{"ABCD_00400 Ribosomal protein L11 methyltransferase", false},
        NameCase{"39S ribosomal protein L2, mitochondrial", false},
        NameCase{"[protein=50S ribosomal protein L21, chloroplastic]", false},
        // Mitochondrial subunits named without the word, a mitoribosome, an apicoplast.
        NameCase{"[protein=39S ribosomal protein L12]", false},
        NameCase{"28S ribosomal protein S16", false}, NameCase{"54S ribosomal protein L2", false},
        NameCase{"mitoribosomal protein L4", false},
        NameCase{"apicoplast ribosomal protein S4", false},
        NameCase{"ribosomal protein L11 methyltransferase", false},
        NameCase{"Ribosomal protein S12 methylthiotransferase RimO", false},
        NameCase{"[protein=ribosomal protein S6 kinase alpha-1]", false},
        NameCase{"30S ribosomal protein S6--L-glutamate ligase", false},
        NameCase{"ribosomal-protein-alanine acetyltransferase", false},
        NameCase{"Elongation factor 4", false}, NameCase{"Elongation factor P", false},
        NameCase{"Transcription elongation factor GreA", false},
        NameCase{"Selenocysteine-specific elongation factor", false},
        NameCase{"Elongation factor Tu, mitochondrial", false},
        NameCase{"elongation factor G-like protein", false},
        // UniProtKB's names since 2023: the universal nomenclature; organelles' end in m or c.
        NameCase{"ID=cds-7;product=Large ribosomal subunit protein uL2;gbkey=CDS", true},
        NameCase{"Small ribosomal subunit protein eS31", true},
        NameCase{"[protein=Large ribosomal subunit protein bL12]", true},
        NameCase{"Large ribosomal subunit protein uL2m", false},
        NameCase{"Large ribosomal subunit protein bL12c", false},
        NameCase{"Large ribosomal subunit protein mL37", false},
        NameCase{"Small ribosomal subunit protein uS3, mitochondrial", false},
        NameCase{"Large ribosomal subunit protein uL", false},
        // Archaeal genomes' and SGD's forms.
        NameCase{"translation elongation factor EF-1, subunit alpha", true},
        NameCase{"[protein=translation elongation factor, EF-1 alpha]", true},
        NameCase{"translation elongation factor EF-1, beta subunit", true},
        NameCase{"translation elongation factor, EF-2", true},
        NameCase{"translation elongation factor aEF-1 beta", true},
        NameCase{"Ribosomal LX protein", true}, NameCase{"ribosomal L37ae protein", true},
        NameCase{"ribosomal protein Lp0 (E.coli L10)", true},
        NameCase{"ribosomal 60S subunit protein L4A", true},
        NameCase{"Elongation factor Tu, domain 2", false},
        NameCase{"Elongation factor 1-gamma", false}, NameCase{"elongation factors", false},
        NameCase{"ribosomal large subunit pseudouridine synthase", false},
        NameCase{"rpsR;RD3045;_start=2914021;end=2914248", false},
        NameCase{"# 3 # 98 # 1 # ID=1_1;partial=10;start_type=Edge", false}));

}  // namespace
}  // namespace trelba
