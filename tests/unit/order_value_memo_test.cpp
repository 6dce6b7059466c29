// The memoised totals, order values and texts against the plain path, on every code and
// on count vectors that repeat (found in the memo), collide in its slots, pass the one-byte
// keys (256), the entropy table (1024) and the exact doubles (2^53).
#include "analysis/order_value_memo.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/sequence_analysis.hpp"
#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "reports/order_texts.hpp"

namespace trelba {
namespace {

std::vector<const GeneticCode*> EveryCode() {
  std::vector<const GeneticCode*> codes;
  for (int v = 0; v < kGeneticCodeCount; ++v) codes.push_back(&GeneticCodeNumber(v));
  for (const int table : NcbiTableNumbers()) codes.push_back(NcbiGeneticCode(table));
  return codes;
}

// Count vectors of one kind: `pool` distinct vectors drawn again and again, each count
// below `limit`, a few codons at `big` when it is not 0.
std::vector<CodonCounts> Vectors(std::mt19937_64& random, int pool, std::uint64_t limit,
                                 std::uint64_t big) {
  std::vector<CodonCounts> distinct(static_cast<std::size_t>(pool));
  for (CodonCounts& counts : distinct) {
    for (std::size_t c = 1; c <= kCodonCount; ++c) counts[c] = random() % limit;
    if (big != 0) counts[1 + random() % kCodonCount] = big;
  }
  std::vector<CodonCounts> vectors;
  for (int i = 0; i < 600; ++i) vectors.push_back(distinct[random() % distinct.size()]);
  return vectors;
}

TEST(OrderValueMemo, GivesThePlainPathsBitsAndTexts) {
  const struct {
    const char* name;
    int pool;
    std::uint64_t limit, big;
  } kinds[] = {
      {"short genes: few vectors, found again", 20, 3, 0},
      {"many vectors: slots taken over", 5000, 6, 0},
      {"counts past one byte", 50, 300, 0},
      {"totals past the entropy table", 50, 40, 2000},
      {"one count past 2^53", 5, 4, (std::uint64_t{1} << 53) + 1},
  };
  std::mt19937_64 random(7);
  for (const GeneticCode* code : EveryCode()) {
    OrderValueMemo memo(*code);
    for (const auto& kind : kinds) {
      for (const CodonCounts& counts : Vectors(random, kind.pool, kind.limit, kind.big)) {
        SequenceAnalysis plain;
        AnalyseSequence(*code, counts, plain);
        OrderTexts plain_texts;
        FormatOrderValues(plain.order, plain_texts);
        FamilyValues totals{}, order{};
        OrderTexts texts;
        if (!memo.Fill(counts, totals, order, texts)) {
          // Only where codons are shared or counts pass 2^53.
          bool shared = false;
          for (std::size_t f = 1; f <= kFamilyCount; ++f) shared = shared || !code->unshared[f];
          EXPECT_TRUE(shared || kind.big > (std::uint64_t{1} << 53)) << kind.name;
          continue;
        }
        for (std::size_t f = 0; f <= kFamilyCount; ++f) {
          SCOPED_TRACE(std::string(kind.name) + ", code " + std::to_string(code->ncbi_table) +
                       code->id + ", family " + std::to_string(f));
          ASSERT_EQ(std::bit_cast<std::uint64_t>(totals[f]),
                    std::bit_cast<std::uint64_t>(plain.totals[f]));
          ASSERT_EQ(std::bit_cast<std::uint64_t>(order[f]),
                    std::bit_cast<std::uint64_t>(plain.order[f]));
          if (f == 0) continue;
          ASSERT_EQ(std::string(texts.text[f].data(), texts.size[f]),
                    std::string(plain_texts.text[f].data(), plain_texts.size[f]));
        }
      }
    }
  }
}

}  // namespace
}  // namespace trelba
