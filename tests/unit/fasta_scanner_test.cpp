// What the scanner tells of a text besides the codons: descriptions, the letters after the
// last whole triple and that triple, ';' lines and headers inside lines with their first
// line numbers, all the same whatever the pieces the text arrives in.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "input/body_search.hpp"
#include "read_sequences.hpp"

namespace trelba {
namespace {

constexpr std::size_t kPieces[] = {0, 1, 2, 3, 7};

struct ScanCase {
  const char* name;
  std::string input;
  std::vector<std::string> descriptions;
  std::vector<unsigned> partial;
  std::vector<unsigned> last_triple;  // codon index, 0 for none
  std::uint64_t comment_lines, first_comment_line, inline_headers, first_inline_header_line;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
  *os << c.name;
}

class ScanCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanCases, SeeTheSameInAnyPieces) {
  const ScanCase& c = GetParam();
  for (const std::size_t piece : kPieces) {
    const test::Reading reading = test::ReadSequences(c.input, piece);
    std::vector<std::string> descriptions;
    std::vector<unsigned> partial, last;
    for (const auto& s : reading.sequences) {
      descriptions.push_back(s.description);
      partial.push_back(s.partial);
      last.push_back(s.last_triple);
    }
    EXPECT_EQ(descriptions, c.descriptions) << "pieces of " << piece;
    EXPECT_EQ(partial, c.partial) << "pieces of " << piece;
    EXPECT_EQ(last, c.last_triple) << "pieces of " << piece;
    const FastaScanner& s = reading.scanner;
    EXPECT_EQ(s.comment_lines, c.comment_lines) << "pieces of " << piece;
    EXPECT_EQ(s.first_comment_line, c.first_comment_line) << "pieces of " << piece;
    EXPECT_EQ(s.inline_headers, c.inline_headers) << "pieces of " << piece;
    EXPECT_EQ(s.first_inline_header_line, c.first_inline_header_line) << "pieces of " << piece;
  }
}

// TAA is codon 11, ATG 36, GGG 64, TGA 15.
INSTANTIATE_TEST_SUITE_P(
    Table, ScanCases,
    ::testing::Values(
        ScanCase{"Ordinary",
                 ">a gene one\nATGGGG\nTAA\n>b\tx  y \r\nATG\n",
                 {"gene one", "x  y "},
                 {0, 0},
                 {11, 36},
                 0,
                 0,
                 0,
                 0},
        ScanCase{"PartialCodonLeftOver",
                 ">a\nATGTA\n>b\nATGGGGT\nG\n",
                 {"", ""},
                 {2, 2},
                 {36, 64},
                 0,
                 0,
                 0,
                 0},
        ScanCase{"LastTripleNoCodon",
                 ">a\nATGNAA\n>b\n\n>c\nAT\n",
                 {"", "", ""},
                 {0, 0, 2},
                 {0, 0, 0},
                 0,
                 0,
                 0,
                 0},
        ScanCase{"CommentLines", ";old\n>a\n;c1\nATG\n;c2\n", {""}, {0}, {0}, 3, 1, 0, 0},
        ScanCase{"CommentAfterCrLf", ">a x\r\nATG\r\n;c\r\nTGA", {"x"}, {2}, {0}, 1, 3, 0, 0},
        ScanCase{"SemicolonInsideALineIsNoComment", ">a\nAT;G\n", {""}, {1}, {0}, 0, 0, 0, 0},
        ScanCase{"HeaderInsideALine",
                 ">a\nATG\nAAA>b c\nTTT>d\n",
                 {"", "c", ""},
                 {0, 0, 0},
                 {43, 1, 0},
                 0,
                 0,
                 2,
                 3},
        ScanCase{"HeaderAtTheStartOfTheText", ">a\n>b\n", {"", ""}, {0, 0}, {0, 0}, 0, 0, 0, 0}),
    [](const auto& test) { return std::string(test.param.name); });

// Text from an alphabet heavy in bases, line ends, ';' and '>', with the odd awkward byte;
// every other text has bodies of hundreds of bytes, a ';' or '>' in one of 150 bytes.
std::string RandomText(std::mt19937& random, std::size_t size, bool long_bodies) {
  static const char kAlphabet[] = "ACGTACGTACGTacgtNUu \t\r\n\n\n>>;x\v\f-";
  static const char kBodyAlphabet[] = "ACGTACGTACGTacgtNUu \t\r\n\n\nx\v\f-";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::uniform_int_distribution<std::size_t> pick_body(0, sizeof kBodyAlphabet - 2);
  std::uniform_int_distribution<int> odd(0, 255);
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    if (long_bodies) {
      text += random() % 150 == 0 ? ">;"[random() % 2] : kBodyAlphabet[pick_body(random)];
    } else {
      text += random() % 50 == 0 ? static_cast<char>(odd(random)) : kAlphabet[pick(random)];
    }
  }
  return text;
}

TEST(FastaScanner, RandomTextInAnyPieces) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 800; ++round) {
    const bool long_bodies = round % 2 == 1;
    const std::string text =
        RandomText(random, 1 + random() % (long_bodies ? 5000 : 400), long_bodies);
    const test::Reading whole = test::ReadSequences(text);
    for (const std::size_t piece : kPieces) {
      const test::Reading pieces = test::ReadSequences(text, piece);
      ASSERT_TRUE(pieces == whole) << "pieces of " << piece;
      ASSERT_EQ(pieces.scanner.line, whole.scanner.line);
      ASSERT_EQ(pieces.scanner.line, 1 + std::count(text.begin(), text.end(), '\n'));
      ASSERT_EQ(pieces.scanner.comment_lines, whole.scanner.comment_lines);
      ASSERT_EQ(pieces.scanner.first_comment_line, whole.scanner.first_comment_line);
      ASSERT_EQ(pieces.scanner.inline_headers, whole.scanner.inline_headers);
      ASSERT_EQ(pieces.scanner.first_inline_header_line, whole.scanner.first_inline_header_line);
    }
  }
}

// The one-pass search against the text's own bytes: a '>' and a ';' at every place of the
// first two 32-byte blocks and the bytes after them (or absent), line feeds every 7 bytes.
TEST(BodySearch, StopsAtTheFirstMarkWithTheLineFeedsBeforeIt) {
  if (kBodySearcher == nullptr) GTEST_SKIP() << "no wide search on this processor";
  constexpr std::size_t kSize = 100;
  constexpr std::size_t kAbsent = kSize;
  for (std::size_t header = 0; header <= kAbsent; ++header) {
    for (std::size_t semicolon = 0; semicolon <= kAbsent; semicolon += 3) {
      if (semicolon == header && header != kAbsent) continue;
      std::string text(kSize, 'A');
      for (std::size_t i = 6; i < kSize; i += 7) text[i] = '\n';
      if (header != kAbsent) text[header] = '>';
      if (semicolon != kAbsent) text[semicolon] = ';';
      const char* stop = nullptr;
      std::uint64_t line_feeds = 0;
      const bool found = kBodySearcher(text.data(), text.data() + kSize, stop, line_feeds);
      ASSERT_EQ(found, semicolon >= header) << header << " " << semicolon;
      if (!found) continue;
      ASSERT_EQ(stop, text.data() + header) << header << " " << semicolon;
      ASSERT_EQ(line_feeds, static_cast<std::uint64_t>(
                                std::count(static_cast<const char*>(text.data()), stop, '\n')));
    }
  }
}

}  // namespace
}  // namespace trelba
