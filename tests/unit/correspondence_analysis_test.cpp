// The correspondence analysis against what must hold of any: the eigenvectors of small
// symmetric matrices, the total inertia of a table against its chi-square, the genes'
// coordinates centred with the eigenvalue for variance, the columns' coordinates the genes'
// averaged (the duality of rows and columns), the rows of each kind worked out by hand,
// the axes' signs, and the tables that have no analysis.
#include "analysis/correspondence_analysis.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/cross_products.hpp"
#include "analysis/symmetric_eigen.hpp"
#include "analysis/synonymous_codons.hpp"
#include "codes/genetic_code.hpp"

namespace trelba {
namespace {

const SynonymousCodons& Standard() {
  static const SynonymousCodons synonymous = SynonymousCodonsOf(GeneticCodeNumber(0));
  return synonymous;
}

std::size_t Codon(const char* name) {
  return static_cast<std::size_t>(CodonIndexOfName(name));
}

// --- the eigen-solver -----------------------------------------------------------------

struct EigenCase {
  const char* name;
  std::size_t n;
  std::vector<double> matrix;  // row-major, symmetric
  std::vector<double> values;  // expected, descending (empty: only the identities)
};

void PrintTo(const EigenCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<double> RandomSymmetric(std::size_t n, unsigned seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> uniform(-1.0, 1.0);
  std::vector<double> a(n * n);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j <= i; ++j) a[i * n + j] = a[j * n + i] = uniform(random);
  }
  return a;
}

class Eigen : public ::testing::TestWithParam<EigenCase> {};

// A v = lambda v for every pair, the vectors orthonormal, the values descending and, where
// known, equal to them.
TEST_P(Eigen, DecomposesTheMatrix) {
  const EigenCase& c = GetParam();
  const SymmetricEigen eigen = DecomposeSymmetric(c.matrix, c.n);
  ASSERT_TRUE(eigen.converged);
  for (std::size_t k = 0; k < c.n; ++k) {
    if (k > 0) {
      EXPECT_GE(eigen.values[k - 1], eigen.values[k]);
    }
    if (!c.values.empty()) {
      EXPECT_NEAR(eigen.values[k], c.values[k], 1e-13);
    }
    for (std::size_t i = 0; i < c.n; ++i) {
      double product = 0.0;
      for (std::size_t j = 0; j < c.n; ++j) product += c.matrix[i * c.n + j] * eigen.vector(j, k);
      EXPECT_NEAR(product, eigen.values[k] * eigen.vector(i, k), 1e-12) << "pair " << k;
    }
    for (std::size_t l = 0; l <= k; ++l) {
      double dot = 0.0;
      for (std::size_t i = 0; i < c.n; ++i) dot += eigen.vector(i, k) * eigen.vector(i, l);
      EXPECT_NEAR(dot, k == l ? 1.0 : 0.0, 1e-12) << k << " " << l;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Eigen,
    ::testing::Values(EigenCase{"OneByOne", 1, {2.5}, {2.5}},
                      EigenCase{"Diagonal", 3, {1, 0, 0, 0, 3, 0, 0, 0, 2}, {3, 2, 1}},
                      EigenCase{"TwoByTwo", 2, {2, 1, 1, 2}, {3, 1}},
                      EigenCase{"RepeatedValue", 3, {2, 0, 0, 0, 2, 0, 0, 0, 5}, {5, 2, 2}},
                      EigenCase{"Zero", 2, {0, 0, 0, 0}, {0, 0}},
                      EigenCase{"Tridiagonal",
                                3,
                                {2, -1, 0, -1, 2, -1, 0, -1, 2},
                                {2 + std::sqrt(2.0), 2, 2 - std::sqrt(2.0)}},
                      EigenCase{"Random20", 20, RandomSymmetric(20, 7), {}},
                      EigenCase{"Random61", 61, RandomSymmetric(61, 11), {}}),
    [](const auto& test) { return std::string(test.param.name); });

// --- the rows of each kind ----------------------------------------------------------------

struct RowCase {
  const char* name;
  CoaKind kind;
  std::vector<std::pair<const char*, std::uint64_t>> counts;
  // (codon, expected value of its column) and the row's sum.
  std::vector<std::pair<const char*, double>> cells;
  double sum;
};

void PrintTo(const RowCase& c, std::ostream* os) {
  *os << c.name;
}

class Rows : public ::testing::TestWithParam<RowCase> {};

TEST_P(Rows, AreTheKindsValues) {
  const RowCase& c = GetParam();
  const CoaColumns columns = CoaColumnsOf(c.kind, Standard());
  CodonCounts counts{};
  for (const auto& [codon, count] : c.counts) counts[Codon(codon)] = count;
  CoaRow row;
  EXPECT_DOUBLE_EQ(CoaRowOf(columns, counts, row), c.sum);
  for (const auto& [codon, value] : c.cells) {
    const std::size_t column = columns.column_of[Codon(codon)];
    ASSERT_NE(column, 0u) << codon;
    EXPECT_DOUBLE_EQ(row[column - 1], value) << codon;
  }
}

// Phe TTT 3 TTC 1; Leu TTA 2 (of six codons); Met ATG and Trp TGG left out of codons and
// rscu; the stop TAA of every kind.
const std::vector<std::pair<const char*, std::uint64_t>> kSome = {
    {"TTT", 3}, {"TTC", 1}, {"TTA", 2}, {"ATG", 4}, {"TGG", 1}, {"TAA", 1}};

INSTANTIATE_TEST_SUITE_P(
    Table, Rows,
    ::testing::Values(
        RowCase{"Codons", CoaKind::kCodons, kSome, {{"TTT", 3}, {"TTC", 1}, {"TTA", 2}}, 6},
        // RSCU: Phe 3 * 2 / 4 and 1 * 2 / 4, Leu 2 * 6 / 2 (its other codons 0); an amino acid
        // the gene lacks is 0.
        RowCase{"Rscu",
                CoaKind::kRscu,
                kSome,
                {{"TTT", 1.5}, {"TTC", 0.5}, {"TTA", 6}, {"CTG", 0}, {"GGG", 0}},
                8},
        RowCase{"AminoAcids",
                CoaKind::kAminoAcids,
                kSome,
                {{"TTC", 4}, {"CTG", 2}, {"ATG", 4}, {"TGG", 1}},
                11}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CoaColumns, LeaveOutWhatCodonWLeavesOut) {
  EXPECT_EQ(CoaColumnsOf(CoaKind::kCodons, Standard()).count, 59u);
  EXPECT_EQ(CoaColumnsOf(CoaKind::kRscu, Standard()).count, 59u);
  EXPECT_EQ(CoaColumnsOf(CoaKind::kAminoAcids, Standard()).count, 20u);
  for (const CoaKind kind : {CoaKind::kCodons, CoaKind::kAminoAcids}) {
    EXPECT_EQ(CoaColumnsOf(kind, Standard()).column_of[Codon("TAA")], 0u);
  }
  EXPECT_EQ(CoaColumnsOf(CoaKind::kRscu, Standard()).column_of[Codon("ATG")], 0u);
}

// --- an analysis of random genes ------------------------------------------------------------

// Genes of three kinds of usage (each codon drawn with weights of its own), lengths 30 to 400.
std::vector<CodonCounts> RandomGenes(std::size_t genes, unsigned seed) {
  std::mt19937_64 random(seed);
  std::vector<std::vector<double>> usages(3, std::vector<double>(kCodonCount + 1));
  std::uniform_real_distribution<double> weight(0.05, 1.0);
  for (auto& usage : usages) {
    for (std::size_t c = 1; c <= kCodonCount; ++c) usage[c] = weight(random);
  }
  std::vector<CodonCounts> all;
  for (std::size_t g = 0; g < genes; ++g) {
    std::discrete_distribution<std::size_t> codon(usages[g % 3].begin(), usages[g % 3].end());
    CodonCounts counts{};
    const std::size_t length = 30 + random() % 370;
    for (std::size_t i = 0; i < length; ++i) ++counts[codon(random)];
    counts[0] = 0;
    all.push_back(counts);
  }
  return all;
}

class Analysis : public ::testing::TestWithParam<CoaKind> {};

// The sums of the table's rows and columns, for the checks below: row sums, column sums,
// the table's total and its chi-square over the total (the total inertia).
struct Table {
  std::vector<std::vector<double>> rows;
  std::vector<double> row_sums, column_sums;
  double total = 0.0;
  double inertia = 0.0;
};

Table TableOf(const CoaColumns& columns, const std::vector<CodonCounts>& genes) {
  Table t;
  t.column_sums.assign(columns.count, 0.0);
  for (const CodonCounts& counts : genes) {
    CoaRow row;
    const double sum = CoaRowOf(columns, counts, row);
    t.rows.emplace_back(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(columns.count));
    t.row_sums.push_back(sum);
    for (std::size_t j = 0; j < columns.count; ++j) t.column_sums[j] += row[j];
    t.total += sum;
  }
  for (std::size_t i = 0; i < t.rows.size(); ++i) {
    for (std::size_t j = 0; j < columns.count; ++j) {
      const double expected = t.row_sums[i] * t.column_sums[j] / t.total;
      if (expected > 0)
        t.inertia += (t.rows[i][j] - expected) * (t.rows[i][j] - expected) / expected;
    }
  }
  t.inertia /= t.total;
  return t;
}

// The analysis holds the columns' masses and each gene's deviations and coordinates in
// single precision, as codonW does: its relations hold to single precision.
constexpr double kSingle = 1e-6;

TEST_P(Analysis, HoldsWhatACorrespondenceAnalysisMust) {
  const CoaColumns columns = CoaColumnsOf(GetParam(), Standard());
  const std::vector<CodonCounts> genes = RandomGenes(300, 5);
  CoaSums sums(columns);
  for (const CodonCounts& counts : genes) {
    sums.Add(counts, EffectiveNumberOfCodons(Standard(), counts));
  }
  const CoaResult result = SolveCoa(sums);
  ASSERT_TRUE(result.made);
  ASSERT_EQ(result.axes, kCoaAxes);
  const Table t = TableOf(columns, genes);
  EXPECT_NEAR(result.total_inertia, t.inertia, kSingle * t.inertia);
  std::vector<CoaAxes> coordinates;
  for (const CodonCounts& counts : genes) {
    coordinates.push_back(GeneCoordinates(columns, result, counts));
  }
  for (std::size_t k = 0; k < kCoaAxes; ++k) {
    EXPECT_NEAR(result.inertia_share[k], result.eigenvalue[k] / t.inertia, kSingle);
    // Centred, with the eigenvalue for (mass-weighted) variance.
    double mean = 0.0, variance = 0.0, covariance = 0.0, mean_enc = 0.0, mass = 0.0;
    for (std::size_t i = 0; i < genes.size(); ++i) {
      const double r = t.row_sums[i] / t.total;
      mean += r * coordinates[i][k];
      variance += r * coordinates[i][k] * coordinates[i][k];
      const double enc = EffectiveNumberOfCodons(Standard(), genes[i]);
      if (!std::isnan(enc)) {
        covariance += t.row_sums[i] * coordinates[i][k] * enc;
        mean_enc += t.row_sums[i] * enc;
        mass += t.row_sums[i];
      }
    }
    EXPECT_NEAR(mean, 0.0, kSingle) << "axis " << k;
    EXPECT_NEAR(variance, result.eigenvalue[k], kSingle) << "axis " << k;
    // The sign: the genes of lower ENC on the positive side.
    double centred = 0.0;
    for (std::size_t i = 0; i < genes.size(); ++i) {
      const double enc = EffectiveNumberOfCodons(Standard(), genes[i]);
      if (!std::isnan(enc)) centred += t.row_sums[i] * coordinates[i][k] * (enc - mean_enc / mass);
    }
    EXPECT_LT(centred, 0.0) << "axis " << k;
    // Each column's coordinates: the average of the genes' by its profile, over the root of
    // the eigenvalue.
    for (std::size_t j = 0; j < columns.count; ++j) {
      double average = 0.0;
      for (std::size_t i = 0; i < genes.size(); ++i) {
        average += t.rows[i][j] / t.column_sums[j] * coordinates[i][k];
      }
      const int codon = columns.codons[columns.first[j]];
      EXPECT_NEAR(CodonCoordinates(columns, result, codon)[k],
                  average / std::sqrt(result.eigenvalue[k]), kSingle)
          << "axis " << k << " column " << j;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Analysis,
                         ::testing::Values(CoaKind::kCodons, CoaKind::kRscu, CoaKind::kAminoAcids),
                         [](const auto& test) {
                           return std::string(test.param == CoaKind::kCodons ? "Codons"
                                              : test.param == CoaKind::kRscu ? "Rscu"
                                                                             : "AminoAcids");
                         });

// Four genes at a time or one: the same bits (the cross products are added in gene order).
TEST(CoaSums, TheSameBitsWhateverGenesAreHeldBack) {
  const CoaColumns columns = CoaColumnsOf(CoaKind::kRscu, Standard());
  const std::vector<CodonCounts> genes = RandomGenes(37, 9);
  CoaSums held(columns), one_by_one(columns);
  for (const CodonCounts& counts : genes) {
    held.Add(counts, std::nan(""));
    one_by_one.Add(counts, std::nan(""));
    one_by_one.Flush();
  }
  held.Flush();
  for (std::size_t j = 0; j < columns.count; ++j) {
    for (std::size_t k = 0; k <= j; ++k) ASSERT_EQ(held.cross(j, k), one_by_one.cross(j, k));
  }
}

// The processor's wider kernel and the plain loop: the same bits, one to four rows at once.
TEST(CrossProducts, EveryKernelGivesTheSameBits) {
  const CoaColumns columns = CoaColumnsOf(CoaKind::kRscu, Standard());
  const std::size_t n = columns.count;
  const std::vector<CodonCounts> genes = RandomGenes(10, 3);
  std::vector<CoaRow> rows(genes.size()), shares(genes.size());
  for (std::size_t g = 0; g < genes.size(); ++g) {
    rows[g].fill(0.0);
    shares[g].fill(0.0);
    const double sum = CoaRowOf(columns, genes[g], rows[g]);
    for (std::size_t j = 0; j < n; ++j) shares[g][j] = rows[g][j] / sum;
  }
  shares[2].fill(0.0);  // a row passed over
  std::vector<double> chosen(n * CrossStride(n)), plain(chosen.size());
  for (std::size_t first = 0, count = 1; first < genes.size();
       first += count, count = count % 4 + 1) {
    const std::size_t used = std::min(count, genes.size() - first);
    std::vector<const double*> s, r;
    for (std::size_t g = first; g < first + used; ++g) {
      s.push_back(shares[g].data());
      r.push_back(rows[g].data());
    }
    kAddCrossProducts(chosen.data(), n, s.data(), r.data(), used);
    kAddCrossProductsPlain(plain.data(), n, s.data(), r.data(), used);
  }
  for (std::size_t j = 0; j < n; ++j) {
    for (std::size_t k = 0; k <= j; ++k) {
      ASSERT_EQ(chosen[j * CrossStride(n) + k], plain[j * CrossStride(n) + k]) << j << " " << k;
    }
  }
}

// --- tables without an analysis, and axes without inertia ----------------------------------

struct NoAnalysisCase {
  const char* name;
  std::vector<CodonCounts> genes;
  std::size_t axes;
};

void PrintTo(const NoAnalysisCase& c, std::ostream* os) {
  *os << c.name;
}

CodonCounts Gene(const std::vector<std::pair<const char*, std::uint64_t>>& words) {
  CodonCounts counts{};
  for (const auto& [codon, count] : words) counts[Codon(codon)] = count;
  return counts;
}

class Degenerate : public ::testing::TestWithParam<NoAnalysisCase> {};

TEST_P(Degenerate, HasNoSuchAxes) {
  const NoAnalysisCase& c = GetParam();
  const CoaColumns columns = CoaColumnsOf(CoaKind::kCodons, Standard());
  CoaSums sums(columns);
  for (const CodonCounts& counts : c.genes) sums.Add(counts, std::nan(""));
  const CoaResult result = SolveCoa(sums);
  EXPECT_EQ(result.made, c.axes > 0);
  EXPECT_EQ(result.axes, c.axes);
  for (std::size_t k = 0; k < kCoaAxes; ++k) {
    EXPECT_EQ(std::isnan(result.inertia_share[k]), k >= c.axes) << k;
    for (const CodonCounts& counts : c.genes) {
      EXPECT_EQ(std::isnan(GeneCoordinates(columns, result, counts)[k]), k >= c.axes) << k;
    }
  }
}

const CodonCounts kA = Gene({{"TTT", 5}, {"TTC", 1}, {"GCT", 2}});
const CodonCounts kB = Gene({{"TTT", 1}, {"TTC", 5}, {"GCC", 3}});
const CodonCounts kC = Gene({{"AAA", 4}, {"GCT", 1}});

INSTANTIATE_TEST_SUITE_P(
    Table, Degenerate,
    ::testing::Values(NoAnalysisCase{"NoGene", {}, 0}, NoAnalysisCase{"OneGene", {kA}, 0},
                      NoAnalysisCase{"IdenticalProfiles", {kA, kA, kA}, 0},
                      NoAnalysisCase{"TwoGenesOneAxis", {kA, kB}, 1},
                      NoAnalysisCase{"ThreeGenesTwoAxes", {kA, kB, kC}, 2},
                      NoAnalysisCase{"OneColumn", {Gene({{"TTT", 2}}), Gene({{"TTT", 5}})}, 0}),
    [](const auto& test) { return std::string(test.param.name); });

// A gene without a codon of the analysis (Met and Trp only) has no coordinates; a codon no
// gene used has none either.
TEST(Degenerate, GeneAndCodonOutsideTheAnalysis) {
  const CoaColumns columns = CoaColumnsOf(CoaKind::kCodons, Standard());
  CoaSums sums(columns);
  for (const CodonCounts& counts : {kA, kB, kC}) sums.Add(counts, std::nan(""));
  const CoaResult result = SolveCoa(sums);
  EXPECT_TRUE(std::isnan(GeneCoordinates(columns, result, Gene({{"ATG", 3}, {"TGG", 1}}))[0]));
  EXPECT_TRUE(std::isnan(CodonCoordinates(columns, result, CodonIndexOfName("GGG"))[0]));
  EXPECT_TRUE(std::isnan(CodonCoordinates(columns, result, CodonIndexOfName("ATG"))[0]));
  EXPECT_FALSE(std::isnan(CodonCoordinates(columns, result, CodonIndexOfName("GCT"))[0]));
}

}  // namespace
}  // namespace trelba
