#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "read_sequences.hpp"

namespace trelba {
namespace {

// Each sequence read, as "ATG:1 TTT:2" (codons in index order, non-zero counts only),
// with the sequences joined by " | ". `piece` bytes are fed at a time.
std::string Read(const std::string& text, std::size_t piece) {
  std::string all;
  SequenceNumber expected_number = 1;
  for (const test::ReadSequence& sequence : test::ReadSequences(text, piece).sequences) {
    EXPECT_EQ(sequence.number, expected_number++);
    std::string line;
    for (int k = 1; k <= kCodonCount; ++k) {
      if (sequence.counts[static_cast<std::size_t>(k)] == 0) continue;
      if (!line.empty()) line += ' ';
      line += CodonName(k) + ':' + std::to_string(sequence.counts[static_cast<std::size_t>(k)]);
    }
    all += (expected_number > 2 ? " | " : "") + line;
  }
  return all;
}

struct ReadCase {
  const char* name;
  std::string input;
  const char* expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
  *os << c.name;
}

std::string ReadCaseName(const ::testing::TestParamInfo<ReadCase>& test) {
  return test.param.name;
}

class ReaderCases : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReaderCases, CountsCodons) {
  const ReadCase& c = GetParam();
  // Whatever the pieces the text arrives in, the counts are the same.
  for (std::size_t piece :
       {c.input.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}}) {
    EXPECT_EQ(Read(c.input, piece), c.expected) << c.name << ", pieces of " << piece;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReaderCases,
    ::testing::Values(
        ReadCase{"Empty", "", ""}, ReadCase{"NoHeaderCountsNothing", "ATGAAA\nTTT\n", ""},
        ReadCase{"CodonsBeforeFirstHeaderDropped", "ATGATG\n>s\nTTT\n", "TTT:1"},
        ReadCase{"FrameRunsAcrossLines", ">s\nAT\nGAA\nA\n", "ATG:1 AAA:1"},
        ReadCase{"LowerAndMixedCase", ">s\natgAtGaaA\n", "ATG:2 AAA:1"},
        ReadCase{"SevenLettersTwoCodons", ">s\nATGAAAT\n", "ATG:1 AAA:1"},
        ReadCase{"IncompleteCodonDroppedAtHeader", ">a\nATGAA\n>b\nTTT\n", "ATG:1 | TTT:1"},
        ReadCase{"NonBasesTakeAPlace", ">s\nATGNAAATT\n", "ATT:1 ATG:1"},
        ReadCase{"RnaLettersNotCounted", ">s\nAUGUUUATG\n", "ATG:1"},
        ReadCase{"TwoHeadersInARow", ">a\n>b\nATG\n", " | ATG:1"},
        ReadCase{"HeaderMarkInsideSequenceLine", ">a\nATGA>b\nTTT\n", "ATG:1 | TTT:1"},
        ReadCase{"CrLfLineEnds", ">a x\r\nATGA\r\nAA\r\n>b\r\nTTT", "ATG:1 AAA:1 | TTT:1"},
        ReadCase{"CrOnlyLineEnds", ">a\rATG\rTTT\r>b\rCCC\r", "TTT:1 ATG:1 | CCC:1"},
        ReadCase{"AllWhitespaceSkipped", ">s\nA T\tG\v\fA\rA A\n", "ATG:1 AAA:1"},
        ReadCase{"LastHeaderWithoutNewline", ">a\nATG\n>b", "ATG:1 | "},
        ReadCase{"NoNewlineAtEnd", ">a\nATGTT", "ATG:1"},
        ReadCase{"BinaryAndNulBytes", std::string(">a\nA\0G\xff\x80TATG\n", 13), "ATG:1"}),
    ReadCaseName);

// Regression: a short header line must not take letters from the next line.
INSTANTIATE_TEST_SUITE_P(
    ShortHeaderTakesNothingFromNextLine, ReaderCases,
    ::testing::Values(ReadCase{"DigitHeader", ">1\nATGAAATTT\n", "TTT:1 ATG:1 AAA:1"},
                      ReadCase{"LetterHeader", ">a\nATGAAA\n", "ATG:1 AAA:1"},
                      ReadCase{"SpacedHeader", "> x\nATGAAA\n", "ATG:1 AAA:1"},
                      ReadCase{"BareHeader", ">\nATGAAA\n", "ATG:1 AAA:1"},
                      ReadCase{"BareHeadersInARow", ">\n>\nATG\n", " | ATG:1"}),
    ReadCaseName);

// Regression: a header of any length is skipped whole and reading goes on after it.
TEST(SequenceReader, OverLongHeaderDoesNotEndReading) {
  const std::string input = ">" + std::string(5000, 'x') + "\nATG\n>b\nTTT\n";
  EXPECT_EQ(Read(input, input.size()), "ATG:1 | TTT:1");
  EXPECT_EQ(Read(input, 1000), "ATG:1 | TTT:1");
}

TEST(SequenceReader, NonCodonTriplesAreCountedApart) {
  const CodonCounts counts = test::ReadSequences(">s\nNNNATGAUG\n").sequences.at(0).counts;
  EXPECT_EQ(counts[0], 2u);
  EXPECT_EQ(counts[36], 1u);
}

struct IdCase {
  const char* name;
  std::string input;
  std::vector<std::string> ids;
};

void PrintTo(const IdCase& c, std::ostream* out) {
  *out << c.name;
}

class IdCases : public ::testing::TestWithParam<IdCase> {};

// The identifier is the header's first word, whatever the pieces the text arrives in.
TEST_P(IdCases, FirstWordOfEachHeader) {
  const IdCase& c = GetParam();
  for (std::size_t piece : {c.input.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{5}}) {
    std::vector<std::string> ids;
    for (const auto& sequence : test::ReadSequences(c.input, piece).sequences) {
      ids.push_back(sequence.id);
    }
    EXPECT_EQ(ids, c.ids) << "pieces of " << piece;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IdCases,
    ::testing::Values(
        IdCase{"WordThenDescription",
               ">b0001 thrL leader\nATG\n>b0002\tthrA\nTTT\n",
               {"b0001", "b0002"}},
        IdCase{"BareAndSpacedHeaders", ">\nATG\n> x\n>\n", {"", "", ""}},
        IdCase{"CrLfAndCr", ">a\r\nATG\r>b\rTTT", {"a", "b"}},
        IdCase{"HeaderMarkInSequence", ">a\nATG>b c\n", {"a", "b"}},
        IdCase{"PipesAndNonAscii",
               ">ref|NC_005816.1|:1-2 x\n>g\xc3\xa8ne\n",
               {"ref|NC_005816.1|:1-2", "g\xc3\xa8ne"}},
        IdCase{"ControlBytesKept", std::string(">a\0b\x1b\n", 6), {std::string("a\0b\x1b", 4)}},
        IdCase{"VerticalTabAndFormFeedEndTheWord", ">a\vb\n>c\fd\n", {"a", "c"}},
        IdCase{"NoNewlineAtEnd", ">last", {"last"}}),
    [](const auto& test) { return std::string(test.param.name); });

// Regression guard: an identifier longer than any read block arrives whole.
TEST(SequenceReader, LongIdentifierAcrossPieces) {
  const std::string word(300000, 'w');
  const std::string input = ">" + word + " desc\nATG\n";
  EXPECT_EQ(test::ReadSequences(input, 65536).sequences.at(0).id, word);
}

TEST(SequenceReader, CountsRnaLettersInSequencesOnly) {
  EXPECT_EQ(test::ReadSequences(">Uu header\nAUGuuuATG\nU").u_letters, 5u);
}

}  // namespace
}  // namespace trelba
