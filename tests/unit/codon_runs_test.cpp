// Reading whole runs of codons at a time must count exactly as reading byte by byte:
// both paths of CountCodons are run on the same text, fed in pieces of many sizes, and every
// sequence's counts, identifier and number, and the U letters, must agree.
#include "input/codon_runs.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "input/codon_reader.hpp"
#include "read_sequences.hpp"

namespace trelba {
namespace {

template <bool kCountRuns>
test::Reading Read(const std::string& text, std::size_t piece) {
  return test::ReadSequences<kCountRuns>(text, piece);
}

// Both paths agree on `text` fed whole and in pieces of 1 to 17 bytes (pieces that cut
// runs of codons anywhere).
void ExpectSameCounts(const std::string& text, const std::string& what) {
  const test::Reading careful = Read<false>(text, text.size() + 1);
  for (std::size_t piece : {text.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{5},
                            std::size_t{11}, std::size_t{12}, std::size_t{13}, std::size_t{17}}) {
    ASSERT_TRUE(Read<true>(text, piece) == careful) << what << ", pieces of " << piece;
  }
}

// A gene of 90 plain upper-case bases, the run that one change is made to.
const std::string kGene =
    "ATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCTTAGGCAGCCGGTATTGACGATTTCCCGTAAATGGGCTGA";

// One change made at every place of the gene in turn.
struct Change {
  const char* name;
  std::string (*apply)(std::string gene, std::size_t at);
};

void PrintTo(const Change& c, std::ostream* out) {
  *out << c.name;
}

std::string Insert(std::string gene, std::size_t at, const std::string& what) {
  return gene.insert(at, what);
}

std::string Put(std::string gene, std::size_t at, char letter) {
  gene[at] = letter;
  return gene;
}

const Change kChanges[] = {
    {"LineFeed", [](std::string g, std::size_t at) { return Insert(g, at, "\n"); }},
    {"CarriageReturnLineFeed", [](std::string g, std::size_t at) { return Insert(g, at, "\r\n"); }},
    {"OldMacLineEnd", [](std::string g, std::size_t at) { return Insert(g, at, "\r"); }},
    {"SpaceAndTab", [](std::string g, std::size_t at) { return Insert(g, at, " \t"); }},
    {"LowerCaseFromHere",
     [](std::string g, std::size_t at) {
       for (std::size_t i = at; i < g.size(); ++i) g[i] = static_cast<char>(g[i] | 0x20);
       return g;
     }},
    {"OneLowerCaseLetter",
     [](std::string g, std::size_t at) {
       g[at] = static_cast<char>(g[at] | 0x20);
       return g;
     }},
    {"N", [](std::string g, std::size_t at) { return Put(g, at, 'N'); }},
    {"U", [](std::string g, std::size_t at) { return Put(g, at, 'U'); }},
    {"LowerU", [](std::string g, std::size_t at) { return Put(g, at, 'u'); }},
    {"IupacR", [](std::string g, std::size_t at) { return Put(g, at, 'R'); }},
    {"Gap", [](std::string g, std::size_t at) { return Put(g, at, '-'); }},
    {"Digit", [](std::string g, std::size_t at) { return Insert(g, at, "7"); }},
    {"ByteAboveAscii", [](std::string g, std::size_t at) { return Put(g, at, '\xC3'); }},
    {"NulByte", [](std::string g, std::size_t at) { return Put(g, at, '\0'); }},
    {"LetterNextToABase",
     [](std::string g, std::size_t at) {
       // Off by one bit from a base letter: B, D, E, F, S, W...
       g[at] = static_cast<char>(g[at] ^ (at % 2 == 0 ? 0x01 : 0x04));
       return g;
     }},
    {"HeaderMark", [](std::string g, std::size_t at) { return Insert(g, at, ">x y\n"); }},
};

class ChangeAtEveryPlace : public testing::TestWithParam<Change> {};

TEST_P(ChangeAtEveryPlace, CountsAsByteByByte) {
  for (std::size_t at = 0; at < kGene.size(); ++at) {
    const std::string gene = GetParam().apply(kGene, at);
    // Alone, after a line that leaves the frame at 1 and at 2, and twice over.
    for (const char* before : {"", "A\n", "AC\n"}) {
      ExpectSameCounts(
          ">g1\n" + std::string(before) + gene + "\n>g2\n" + gene + gene,
          std::string(GetParam().name) + " at " + std::to_string(at) + " after '" + before + "'");
      if (HasFatalFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ChangeAtEveryPlace, testing::ValuesIn(kChanges),
                         [](const testing::TestParamInfo<Change>& param) {
                           return std::string(param.param.name);
                         });

// Random FASTA text: mostly bases of either case, in lines of random length, with now and
// then any other byte, blank lines, headers.
std::string RandomText(std::mt19937_64& random, std::size_t size) {
  const std::string bases = "TCAGTCAGTCAGTCAGtcag";
  const std::string others = "NnUuRY-*.0 \t\r\v\f\n>\x80\xff";
  std::uniform_int_distribution<std::size_t> pick_base(0, bases.size() - 1);
  std::uniform_int_distribution<std::size_t> pick_other(0, others.size() - 1);
  std::uniform_int_distribution<int> roll(0, 999);
  std::uniform_int_distribution<std::size_t> line_length(1, 130);
  std::string text = roll(random) < 500 ? ">first\n" : "";
  std::size_t line = line_length(random);
  while (text.size() < size) {
    const int r = roll(random);
    if (r < 4) {
      text += ">seq" + std::to_string(text.size()) + " description\n";
    } else if (r < 14) {
      text += others[pick_other(random)];
    } else {
      text += bases[pick_base(random)];
    }
    if (--line == 0) {
      text += '\n';
      line = line_length(random);
    }
  }
  return text;
}

TEST(CodonRuns, RandomTextCountsAsByteByByte) {
  std::mt19937_64 random(20261209);
  for (int trial = 0; trial < 300; ++trial) {
    ExpectSameCounts(RandomText(random, 2000), "random text " + std::to_string(trial));
    if (HasFatalFailure()) return;
  }
}

// The runs stop at the first triple that is not a codon and never read past the end.
TEST(CodonRuns, StopAtTheFirstTripleThatIsNoCodon) {
  const std::string text = "ATGATGATGATGATGATGATGATGATGATGxTGATG";
  for (std::size_t size = 0; size <= text.size(); ++size) {
    CodonCounts counts{};
    const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
    const auto stop =
        static_cast<std::size_t>(CountCodonRuns(begin, begin + size, counts.data()) - begin);
    const std::size_t expected = std::min<std::size_t>(size / 3 * 3, 30);
    EXPECT_EQ(stop, expected) << size;
    EXPECT_EQ(counts[36], expected / 3) << size;  // ATG
  }
}

// Every reader of runs this processor has (the table, SSE2, AVX2), then the byte-by-byte
// reader from where it stopped, counts as the byte-by-byte reader alone: on every byte
// value at many places of a run, and on random text, from every start to every end.
TEST(CodonRuns, EveryReaderThenByteByByteCountsAsByteByByte) {
  std::mt19937_64 random(99);
  std::vector<std::string> texts;
  const std::string run = "ATGGCTAAACGTttccagGATTGGCTTGAACCGTATGGTCACATCAAGTCTTAGGCAGCCGG";
  for (int byte = 0; byte < 256; ++byte) {
    for (std::size_t at : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{16},
                           std::size_t{29}, std::size_t{30}, std::size_t{31}, std::size_t{32},
                           std::size_t{33}, std::size_t{47}, std::size_t{62}}) {
      std::string text = run;
      text[at] = static_cast<char>(byte);
      texts.push_back(text);
    }
  }
  for (int i = 0; i < 200; ++i) texts.push_back(RandomText(random, 150));
  for (const CodonRunWidth width :
       {CodonRunWidth::kTable, CodonRunWidth::kSse2, CodonRunWidth::kAvx2}) {
    const CodonRunReader runs = CodonRunReaderOf(width);
    if (runs == nullptr) continue;  // not on this processor or build
    for (const std::string& text : texts) {
      if (text.find('>') != std::string::npos) continue;  // bodies hold none
      const char* const data = text.data();
      const auto* const bytes = reinterpret_cast<const unsigned char*>(data);
      for (std::size_t begin = 0; begin < 4; ++begin) {
        for (std::size_t end = begin; end <= text.size(); ++end) {
          CodonReader alone, after_runs;
          CountCodons<false>(alone, data + begin, end - begin);
          const auto stop = static_cast<std::size_t>(
              runs(bytes + begin, bytes + end, after_runs.counts.data()) - bytes);
          ASSERT_TRUE(stop >= begin && stop <= end);
          CountCodons<false>(after_runs, data + stop, end - stop);
          ASSERT_TRUE(after_runs.counts == alone.counts)
              << static_cast<int>(width) << " on '" << text << "' " << begin << " to " << end;
        }
      }
    }
  }
}

}  // namespace
}  // namespace trelba
