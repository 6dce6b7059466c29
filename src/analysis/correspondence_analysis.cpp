#include "analysis/correspondence_analysis.hpp"

#include <cmath>
#include <limits>

#include "analysis/cross_products.hpp"
#include "analysis/symmetric_eigen.hpp"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// An eigenvalue at most this share of the total inertia is rounding, not an axis.
constexpr double kNoInertia = 1e-12;

CoaAxes NotANumbers() {
  CoaAxes axes;
  axes.fill(kNotANumber);
  return axes;
}

// Turns axis k of `result` round: every column's coordinates change sign.
void TurnAxis(CoaResult& result, std::size_t k) {
  for (CoaAxes& column : result.standard) column[k] = 0.0 - column[k];
  for (CoaAxes& column : result.projection) column[k] = 0.0 - column[k];
  for (CoaAxes& column : result.principal) column[k] = -column[k];
}

// Whether axis k is to be turned round: when the genes' coordinates covary positively with
// their ENC (weighted by mass: sum over columns of standard coordinate times (ENC-weighted
// column sum - mean ENC times column sum)); when they do not covary, when its column of
// largest |coordinate| is negative.
bool TurnsRound(const CoaSums& sums, const CoaResult& result, std::size_t k) {
  double covariance = 0.0;
  if (sums.enc_mass() > 0.0) {
    const double mean = sums.enc_sum() / sums.enc_mass();
    for (std::size_t j = 0; j < sums.count(); ++j) {
      const double coordinate = result.standard[j][k];
      covariance =
          covariance + coordinate * (sums.enc_weighted()[j] - mean * sums.enc_columns()[j]);
    }
  }
  if (covariance != 0.0) return covariance > 0.0;
  double largest = 0.0;
  bool negative = false;
  for (const CoaAxes& column : result.standard) {
    if (std::fabs(column[k]) > largest) {
      largest = std::fabs(column[k]);
      negative = column[k] < 0.0;
    }
  }
  return negative;
}

}  // namespace

CoaColumns CoaColumnsOf(CoaKind kind, const SynonymousCodons& synonymous) {
  CoaColumns columns;
  columns.kind = kind;
  if (kind != CoaKind::kAminoAcids) {
    columns.classes = synonymous.classes;
    columns.class_count = synonymous.class_count;
    for (std::size_t i = 0; i < synonymous.class_count; ++i) {
      const SynonymousCodons::Class& c = synonymous.classes[i];
      for (std::size_t m = 0; m < std::size_t{c.k} * c.size; ++m) {
        const std::uint8_t codon = synonymous.class_codons[c.first + m];
        columns.codons[columns.count] = codon;
        columns.column_of[codon] = static_cast<std::uint8_t>(++columns.count);
        columns.first[columns.count] = static_cast<std::uint8_t>(columns.count);
      }
    }
    return columns;
  }
  // Every amino acid of the code, one or more codons, in family order; the stops left out.
  std::size_t codons = 0;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const std::size_t before = codons;
    for (std::size_t c = 1; c <= kCodonCount; ++c) {
      if (synonymous.acid_of[c] != f) continue;
      columns.codons[codons++] = static_cast<std::uint8_t>(c);
      columns.column_of[c] = static_cast<std::uint8_t>(columns.count + 1);
    }
    if (codons != before) columns.first[++columns.count] = static_cast<std::uint8_t>(codons);
  }
  return columns;
}

namespace {

// A count as a double (counts stay far below 2^63).
double CountOf(const CodonCounts& counts, std::uint8_t codon) {
  return static_cast<double>(static_cast<std::int64_t>(counts[codon]));
}

// A codon's RSCU as codonW computes it, in single precision: its count over its amino
// acid's, times the amino acid's number of codons K; 0 for an amino acid without a count.
// (Counts below 2^24 are exact in single precision.)
double SinglePrecisionRscu(double count, double total, std::size_t k) {
  if (total == 0.0) return 0.0;
  const float share = static_cast<float>(count) / static_cast<float>(total);
  return static_cast<double>(share * static_cast<float>(k));
}

// The RSCU of the `acids` amino acids of K codons whose codons are laid out from `codons`,
// into `row`, added to `sum`: each codon's count times K over its amino acid's count, 0 for
// an amino acid without one. The counts are whole numbers well below 2^53, so their sum is
// exact.
template <std::size_t K>
void RscuOfClass(const CodonCounts& counts, const std::uint8_t* codons, double* row,
                 std::size_t acids, double& sum) {
  for (std::size_t a = 0; a < acids; ++a, codons += K, row += K) {
    double values[K];
    double total = 0.0;
    for (std::size_t i = 0; i < K; ++i) {
      values[i] = CountOf(counts, codons[i]);
      total = total + values[i];
    }
    for (std::size_t i = 0; i < K; ++i) {
      row[i] = SinglePrecisionRscu(values[i], total, K);
      sum = sum + row[i];
    }
  }
}

// The same for a class of another size (the codes of unusual classes).
void RscuOfAnyClass(const CodonCounts& counts, const std::uint8_t* codons, double* row,
                    std::size_t k, std::size_t acids, double& sum) {
  for (std::size_t a = 0; a < acids; ++a, codons += k, row += k) {
    double total = 0.0;
    for (std::size_t i = 0; i < k; ++i) {
      row[i] = CountOf(counts, codons[i]);
      total = total + row[i];
    }
    for (std::size_t i = 0; i < k; ++i) {
      row[i] = SinglePrecisionRscu(row[i], total, k);
      sum = sum + row[i];
    }
  }
}

}  // namespace

double CoaRowOf(const CoaColumns& columns, const CodonCounts& counts, CoaRow& row) {
  const std::size_t n = columns.count;
  double sum = 0.0;
  switch (columns.kind) {
    case CoaKind::kCodons:
      for (std::size_t j = 0; j < n; ++j) {
        row[j] = CountOf(counts, columns.codons[j]);
        sum = sum + row[j];
      }
      break;
    case CoaKind::kAminoAcids:
      for (std::size_t j = 0; j < n; ++j) {
        std::uint64_t total = 0;
        for (std::size_t i = columns.first[j]; i < columns.first[j + 1]; ++i) {
          total += counts[columns.codons[i]];
        }
        row[j] = static_cast<double>(static_cast<std::int64_t>(total));
        sum = sum + row[j];
      }
      break;
    case CoaKind::kRscu:
      for (std::size_t i = 0; i < columns.class_count; ++i) {
        const SynonymousCodons::Class& c = columns.classes[i];
        const std::uint8_t* const codons = &columns.codons[c.first];
        double* const values = &row[c.first];
        switch (c.k) {
          case 2:
            RscuOfClass<2>(counts, codons, values, c.size, sum);
            break;
          case 3:
            RscuOfClass<3>(counts, codons, values, c.size, sum);
            break;
          case 4:
            RscuOfClass<4>(counts, codons, values, c.size, sum);
            break;
          case 6:
            RscuOfClass<6>(counts, codons, values, c.size, sum);
            break;
          default:
            RscuOfAnyClass(counts, codons, values, c.k, c.size, sum);
        }
      }
      break;
  }
  return sum;
}

CoaSums::CoaSums(const CoaColumns& columns)
    : columns_(columns),
      cross_(columns.count * CrossStride(columns.count)),
      column_sums_(columns.count),
      enc_columns_(columns.count),
      enc_weighted_(columns.count) {}

void CoaSums::Add(const CodonCounts& counts, double enc) {
  CoaRow row;
  const double sum = CoaRowOf(columns_, counts, row);
  AddRow(row, sum, enc);
}

void CoaSums::AddRow(const CoaRow& gene_row, double sum, double enc) {
  if (sum == 0.0) return;
  CoaRow& row = held_rows_[held_];
  row = gene_row;
  const std::size_t n = columns_.count;
  const double inverse = 1.0 / sum;
  // Element by element (no two arrays overlap: two at a time where the processor can).
  const double* __restrict const values = row.data();
  double* __restrict const shares = held_shares_[held_].data();
  double* __restrict const columns = column_sums_.data();
  for (std::size_t j = 0; j < n; ++j) {
    shares[j] = values[j] * inverse;
    columns[j] = columns[j] + values[j];
  }
  total_ = total_ + sum;
  ++rows_;
  if (!std::isnan(enc)) {
    double* __restrict const enc_columns = enc_columns_.data();
    double* __restrict const enc_weighted = enc_weighted_.data();
    for (std::size_t j = 0; j < n; ++j) {
      enc_columns[j] = enc_columns[j] + values[j];
      enc_weighted[j] = enc_weighted[j] + values[j] * enc;
    }
    enc_mass_ = enc_mass_ + sum;
    enc_sum_ = enc_sum_ + sum * enc;
  }
  if (++held_ == kCrossRows) Flush();
}

void CoaSums::Flush() {
  if (held_ == 0) return;
  std::array<const double*, kCrossRows> shares{}, rows{};
  for (std::size_t g = 0; g < held_; ++g) {
    shares[g] = held_shares_[g].data();
    rows[g] = held_rows_[g].data();
  }
  kAddCrossProducts(cross_.data(), columns_.count, shares.data(), rows.data(), held_);
  held_ = 0;
}

CoaResult SolveCoa(CoaSums& sums) {
  sums.Flush();
  CoaResult result;
  const std::size_t n = sums.count();
  result.eigenvalue = NotANumbers();
  result.inertia_share = NotANumbers();
  result.standard.assign(n, CoaAxes{});
  result.principal.assign(n, NotANumbers());
  // The columns with mass, and their masses.
  std::vector<std::size_t> active;
  for (std::size_t j = 0; j < n; ++j) {
    if (sums.column_sums()[j] > 0.0) active.push_back(j);
  }
  const std::size_t m = active.size();
  if (sums.rows() < 2 || m < 2) return result;
  const double total = sums.total();
  // Each column's mass, and its root as codonW takes it: of the mass in single precision.
  std::vector<double> mass(m), root(m);
  result.inverse_mass.assign(n, 0.0);
  result.projection.assign(n, CoaAxes{});
  for (std::size_t a = 0; a < m; ++a) {
    mass[a] = sums.column_sums()[active[a]] / total;
    root[a] = std::sqrt(static_cast<double>(static_cast<float>(mass[a])));
    result.inverse_mass[active[a]] = 1.0 / mass[a];
  }
  // sum over genes of r_i d_ij d_ik, d_ij = x_ij / (r_i c_j) - 1 the deviations from
  // independence, is P_jk / (c_j c_k) - 1; times the roots of the two masses.
  std::vector<double> matrix(m * m);
  double trace = 0.0;
  for (std::size_t a = 0; a < m; ++a) {
    for (std::size_t b = 0; b <= a; ++b) {
      const double deviations =
          sums.cross(active[a], active[b]) / total / (mass[a] * mass[b]) - 1.0;
      matrix[a * m + b] = deviations * (root[a] * root[b]);
    }
    trace = trace + matrix[a * m + a];
  }
  if (!(trace > 0.0)) return result;
  const SymmetricEigen eigen = DecomposeSymmetric(matrix, m);
  if (!eigen.converged) return result;
  result.total_inertia = trace;
  const std::size_t most = std::min<std::uint64_t>(m, sums.rows()) - 1;
  while (result.axes < kCoaAxes && result.axes < most &&
         eigen.values[result.axes] > kNoInertia * trace) {
    ++result.axes;
  }
  if (result.axes == 0) return result;
  result.made = true;
  for (std::size_t k = 0; k < result.axes; ++k) {
    const double value = eigen.values[k];
    result.eigenvalue[k] = value;
    result.inertia_share[k] = value / trace;
    const double scale = std::sqrt(value);
    for (std::size_t a = 0; a < m; ++a) {
      const double standard = eigen.vector(a, k) / root[a];
      result.standard[active[a]][k] = standard;
      result.principal[active[a]][k] = standard * scale;
      result.projection[active[a]][k] = eigen.vector(a, k) * root[a];
    }
  }
  for (std::size_t k = 0; k < result.axes; ++k) {
    if (TurnsRound(sums, result, k)) TurnAxis(result, k);
  }
  return result;
}

namespace {

// A gene's products with the columns' projections: for each axis k, the sum over the columns
// j in order of its deviation d_j = x_j / (r c_j) - 1, held in single precision, times
// projection[j][k] (each column's four in a row). `inverse_mass` and `projection` have n
// columns.
using RowProjector = CoaAxes (*)(const double* row, std::size_t n, double scale,
                                 const double* inverse_mass, const double* projection);

// The deviation of column j, as codonW holds it.
inline double Deviation(const double* row, std::size_t j, double scale,
                        const double* inverse_mass) {
  return static_cast<double>(static_cast<float>(row[j] * scale * inverse_mass[j] - 1.0));
}

// Four sums side by side, column after column (two to an instruction where there is SSE2:
// the same additions).
CoaAxes ProjectPlain(const double* row, std::size_t n, double scale, const double* inverse_mass,
                     const double* projection) {
  static_assert(kCoaAxes == 4);
  CoaAxes products;
#ifdef __SSE2__
  __m128d low = _mm_setzero_pd(), high = _mm_setzero_pd();
  for (std::size_t j = 0; j < n; ++j) {
    const __m128d value = _mm_set1_pd(Deviation(row, j, scale, inverse_mass));
    const double* const weights = projection + kCoaAxes * j;
    low = _mm_add_pd(low, _mm_mul_pd(value, _mm_loadu_pd(weights)));
    high = _mm_add_pd(high, _mm_mul_pd(value, _mm_loadu_pd(weights + 2)));
  }
  _mm_storeu_pd(&products[0], low);
  _mm_storeu_pd(&products[2], high);
#else
  products = {};
  for (std::size_t j = 0; j < n; ++j) {
    const double value = Deviation(row, j, scale, inverse_mass);
    for (std::size_t k = 0; k < kCoaAxes; ++k) {
      products[k] = products[k] + value * projection[kCoaAxes * j + k];
    }
  }
#endif
  return products;
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same operations in the same order, the four axes in one instruction, and the
// deviations of four columns at a time (each rounded to single precision as one alone is).
__attribute__((target("avx"))) CoaAxes ProjectAvx(const double* row, std::size_t n, double scale,
                                                  const double* inverse_mass,
                                                  const double* projection) {
  __m256d sums = _mm256_setzero_pd();
  const __m256d scales = _mm256_set1_pd(scale), ones = _mm256_set1_pd(1.0);
  std::size_t j = 0;
  for (; j + 4 <= n; j += 4) {
    const __m256d shares = _mm256_mul_pd(_mm256_loadu_pd(row + j), scales);
    const __m256d deviations =
        _mm256_sub_pd(_mm256_mul_pd(shares, _mm256_loadu_pd(inverse_mass + j)), ones);
    alignas(32) double values[4];
    _mm256_store_pd(values, _mm256_cvtps_pd(_mm256_cvtpd_ps(deviations)));
    for (std::size_t i = 0; i < 4; ++i) {
      const __m256d weights = _mm256_loadu_pd(projection + kCoaAxes * (j + i));
      sums = _mm256_add_pd(sums, _mm256_mul_pd(_mm256_set1_pd(values[i]), weights));
    }
  }
  for (; j < n; ++j) {
    const __m256d value = _mm256_set1_pd(Deviation(row, j, scale, inverse_mass));
    sums = _mm256_add_pd(sums, _mm256_mul_pd(value, _mm256_loadu_pd(projection + kCoaAxes * j)));
  }
  CoaAxes products;
  _mm256_storeu_pd(products.data(), sums);
  return products;
}
#endif

RowProjector ChooseProjector() {
#if defined(__x86_64__) && defined(__GNUC__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx")) return ProjectAvx;
#endif
  return ProjectPlain;
}

const RowProjector kProjectRow = ChooseProjector();

}  // namespace

CoaAxes GeneCoordinates(const CoaColumns& columns, const CoaResult& result,
                        const CodonCounts& counts) {
  CoaAxes axes = NotANumbers();
  if (!result.made) return axes;
  CoaRow row;
  const double sum = CoaRowOf(columns, counts, row);
  if (sum == 0.0) return axes;
  // d_j = x_j / (r c_j) - 1, r the gene's row sum.
  const double scale = 1.0 / sum;
  const CoaAxes products = kProjectRow(row.data(), columns.count, scale, result.inverse_mass.data(),
                                       result.projection.data()->data());
  for (std::size_t k = 0; k < result.axes; ++k) {
    axes[k] = static_cast<double>(static_cast<float>(products[k]));
  }
  return axes;
}

CoaAxes CodonCoordinates(const CoaColumns& columns, const CoaResult& result, int codon) {
  const std::uint8_t column = columns.column_of[static_cast<std::size_t>(codon)];
  if (column == 0 || !result.made) return NotANumbers();
  return result.principal[column - 1u];
}

}  // namespace trelba
