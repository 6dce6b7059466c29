// Correspondence analysis (COA) of the genes of an input, as codonW computes it: of the
// genes-by-codons table of counts, of RSCU, or of amino-acid counts. The codons of amino
// acids with one codon and the stops are left out of the first two (RSCU of an amino acid a
// gene lacks is 0), the stops of the third.
//
// The table is never held: each gene adds its row to sums of fixed size (CoaSums): the
// cross products sum x_j x_k / x_+ over the genes, the column sums and the total, from
// which the analysis's symmetric matrix (P_jk / r - c_j c_k) / sqrt(c_j c_k) follows once
// every gene is in. Its eigenvectors (symmetric_eigen.hpp) give each column's coordinates;
// a gene's coordinates are its row profile times the columns' standard coordinates, made
// when its row is read again.
//
// Where codonW holds a number in single precision (the RSCU values, the columns' masses,
// each gene's deviations from independence and its coordinates) so does the analysis here,
// so that the printed digits are codonW's; the sums and the decomposition are in double.
//
// Each axis's sign: the genes of lower ENC (the more biased) lie on its positive side, the
// axis turned so that the genes' coordinates, weighted by their mass, covary negatively
// with their ENC; an axis on which they do not covary at all has its column of largest
// |coordinate| (the first of equals) on the positive side.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "analysis/cross_products.hpp"
#include "analysis/synonymous_codons.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

enum class CoaKind : std::uint8_t { kCodons, kRscu, kAminoAcids };

// The axes whose coordinates and inertia are reported.
inline constexpr std::size_t kCoaAxes = 4;
using CoaAxes = std::array<double, kCoaAxes>;

// The columns of an analysis of `kind` under a code. Codons and RSCU: the codons of the
// amino acids with k codons, ascending k, amino acid after amino acid (the layout of
// SynonymousCodons::class_codons). Amino acids: in family order.
struct CoaColumns {
  CoaKind kind = CoaKind::kCodons;
  std::size_t count = 0;
  // Of each codon: its column + 1 (codons, rscu) or its amino acid's (aa); 0 when left out.
  std::array<std::uint8_t, kCodonCount + 1> column_of{};
  // The codons of the columns in order: column j sums codons[first[j]] to
  // codons[first[j + 1] - 1] (one codon each but in an analysis of amino acids).
  std::array<std::uint8_t, kCodonCount> codons{};
  std::array<std::uint8_t, kCodonCount + 1> first{};
  // The classes of amino acids of k codons (codons, rscu), as SynonymousCodons::classes.
  std::array<SynonymousCodons::Class, kFamilyCount> classes{};
  std::size_t class_count = 0;
};

CoaColumns CoaColumnsOf(CoaKind kind, const SynonymousCodons& synonymous);

// A gene's row, column by column.
using CoaRow = std::array<double, kCodonCount>;

// The row of a gene's `counts` (its counts, RSCU or amino-acid counts); returns the row's
// sum, 0 for a gene outside the analysis.
double CoaRowOf(const CoaColumns& columns, const CodonCounts& counts, CoaRow& row);

// What the analysis needs of every gene, added gene by gene in input order (so that the
// same input gives the same bits at every thread count).
class CoaSums {
 public:
  explicit CoaSums(const CoaColumns& columns);
  const CoaColumns& columns() const { return columns_; }

  // Adds a gene; `enc` is its ENC (NaN when it has none) for the axes' signs.
  void Add(const CodonCounts& counts, double enc);
  // The same for a gene whose row CoaRowOf has made (`sum` what it returned).
  void AddRow(const CoaRow& row, double sum, double enc);
  // Adds the genes Add holds back (it adds them four at a time).
  void Flush();

  std::size_t count() const { return columns_.count; }
  // After Flush: sum over the genes of row_j row_k / row sum (k <= j).
  double cross(std::size_t j, std::size_t k) const { return cross_[j * CrossStride(count()) + k]; }
  const std::vector<double>& column_sums() const { return column_sums_; }
  double total() const { return total_; }
  std::uint64_t rows() const { return rows_; }  // genes with a positive row sum
  // Over the genes with an ENC: their column sums, those weighted by ENC, and the sums of
  // their row sums and of row sum times ENC.
  const std::vector<double>& enc_columns() const { return enc_columns_; }
  const std::vector<double>& enc_weighted() const { return enc_weighted_; }
  double enc_mass() const { return enc_mass_; }
  double enc_sum() const { return enc_sum_; }

 private:
  CoaColumns columns_;
  std::vector<double> cross_;  // count rows of CrossStride(count), lower triangle
  std::vector<double> column_sums_;
  double total_ = 0.0;
  std::uint64_t rows_ = 0;
  std::vector<double> enc_columns_;
  std::vector<double> enc_weighted_;
  double enc_mass_ = 0.0;
  double enc_sum_ = 0.0;
  // Genes held back: their rows, and the rows over their sums.
  std::array<CoaRow, kCrossRows> held_rows_{};
  std::array<CoaRow, kCrossRows> held_shares_{};
  std::size_t held_ = 0;
};

struct CoaResult {
  // Whether there is an analysis: two or more genes and columns with mass, and inertia.
  bool made = false;
  std::size_t axes = 0;  // axes with inertia, up to kCoaAxes
  double total_inertia = 0.0;
  // Each axis's eigenvalue and share of the total inertia; NaN past `axes`.
  CoaAxes eigenvalue{};
  CoaAxes inertia_share{};
  // Of each column: its standard coordinates (the eigenvector over the square root of the
  // column's mass; 0 for a column without mass and past `axes`) and its principal ones
  // (times the square root of the eigenvalue; NaN there).
  std::vector<CoaAxes> standard;
  std::vector<CoaAxes> principal;
  // What a gene's coordinates are made of (GeneCoordinates): each column's inverse mass
  // (0 without mass) and its eigenvector times the root of its mass held in single
  // precision (0 past `axes`).
  std::vector<double> inverse_mass;
  std::vector<CoaAxes> projection;
};

// Flushes `sums` first.
CoaResult SolveCoa(CoaSums& sums);

// A gene's coordinates: NaN on every axis for a gene without a row sum, and past the
// result's axes. As codonW makes them: the gene's deviations from independence,
// x_j / (r c_j) - 1, and its coordinates held in single precision.
CoaAxes GeneCoordinates(const CoaColumns& columns, const CoaResult& result,
                        const CodonCounts& counts);

// A codon's coordinates as a column of the analysis (its amino acid's in an analysis of
// amino acids); NaN for a codon left out.
CoaAxes CodonCoordinates(const CoaColumns& columns, const CoaResult& result, int codon);

}  // namespace trelba
