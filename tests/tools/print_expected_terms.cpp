// Prints expected entropy terms and order values for checking against a high-precision
// computation (tests/oracle/check_expected_terms.py). Reads lines from standard input:
//   term N Q                 -> E[term] of c ~ Binomial(N, Q), frequency c / N
//   family TABLE F N C1..Ck  -> for family F of NCBI table TABLE with background counts
//                               C1..Ck of its members: q and E[term] of each member, then
//                               E[O_F] for N drawn codons
// Numbers are written and read as C99 hexadecimal floating point.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "analysis/background.hpp"
#include "analysis/binomial_expectation.hpp"
#include "analysis/expected_score.hpp"
#include "codes/ncbi_tables.hpp"

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream in(line);
    std::string kind;
    std::uint64_t n = 0;
    in >> kind;
    if (kind == "term") {
      std::string q;
      in >> n >> q;
      const double p = std::strtod(q.c_str(), nullptr);
      std::printf("%a\n", trelba::ExpectedEntropyTerm(n, p, static_cast<double>(n)));
      continue;
    }
    int table = 0;
    std::size_t f = 0;
    in >> table >> f >> n;
    const trelba::GeneticCode* code = trelba::NcbiGeneticCode(table);
    if (kind != "family" || code == nullptr || f < 1 || f > trelba::kFamilyCount) return 2;
    const trelba::Family& family = code->families[f];
    trelba::CodonCounts pooled{};
    for (unsigned m = 0; m < family.size; ++m) in >> pooled[family.members[m]];
    trelba::ExpectedOrderCache cache(*code, trelba::PooledBackground(*code, pooled));
    for (unsigned m = 0; m < family.size; ++m) {
      const double q = cache.background().q[family.members[m]];
      std::printf("%a %a ", q, trelba::ExpectedEntropyTerm(n, q, static_cast<double>(n)));
    }
    std::printf("%a\n", cache.Order(f, n));
  }
  return 0;
}
