// GC, GC3 and stop codons before the last one, against their definition from the codons'
// names and the code's stop codons, on every code, every kind of last triple and counts
// up to 2^40.
#include "analysis/coding_checks.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"

namespace trelba {
namespace {

CodingChecks ByDefinition(const GeneticCode& code, const CodonCounts& counts, int last) {
  CodingChecks checks;
  for (int c = 1; c <= kCodonCount; ++c) {
    const std::uint64_t n = counts[static_cast<std::size_t>(c)];
    const std::string name = CodonName(c);
    checks.codons += n;
    for (const char base : name) checks.gc_bases += base == 'G' || base == 'C' ? n : 0;
    checks.gc3_codons += name[2] == 'G' || name[2] == 'C' ? n : 0;
    checks.internal_stops += code.stop[static_cast<std::size_t>(c)] ? n : 0;
  }
  checks.internal_stops -= code.stop[static_cast<std::size_t>(last)] ? 1u : 0u;
  return checks;
}

TEST(CodingChecks, AsTheCodonsNamesAndTheCodesStopsSay) {
  std::vector<const GeneticCode*> codes;
  for (int v = 0; v < kGeneticCodeCount; ++v) codes.push_back(&GeneticCodeNumber(v));
  for (const int table : NcbiTableNumbers()) codes.push_back(NcbiGeneticCode(table));
  std::mt19937_64 random(7);
  for (const GeneticCode* code : codes) {
    for (const std::uint64_t limit :
         {std::uint64_t{1}, std::uint64_t{50}, std::uint64_t{1} << 40}) {
      CodonCounts counts{};
      for (std::size_t c = 1; c <= kCodonCount; ++c) counts[c] = random() % (limit + 1);
      for (int last = 0; last <= kCodonCount; ++last) {
        // The last triple is among the counted codons whenever it is a codon.
        if (last != 0 && counts[static_cast<std::size_t>(last)] == 0) continue;
        SequenceFacts facts;
        facts.last_triple = static_cast<std::uint8_t>(last);
        const CodingChecks expected = ByDefinition(*code, counts, last);
        const CodingChecks actual = CheckCoding(*code, counts, facts);
        EXPECT_EQ(actual.codons, expected.codons);
        EXPECT_EQ(actual.gc_bases, expected.gc_bases);
        EXPECT_EQ(actual.gc3_codons, expected.gc3_codons);
        EXPECT_EQ(actual.internal_stops, expected.internal_stops)
            << "table " << code->ncbi_table << " variant " << code->id << " last " << last;
      }
    }
  }
}

}  // namespace
}  // namespace trelba
