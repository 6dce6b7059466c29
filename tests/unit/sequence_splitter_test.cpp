// Cutting the text into sequences and counting each body alone gives exactly what the
// reader gives reading the whole text: the threaded run depends on it.
#include "input/sequence_splitter.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "input/sequence_reader.hpp"

namespace trelba {
namespace {

struct Sequence {
  SequenceNumber number = 0;
  std::string id;
  CodonCounts counts{};
  bool operator==(const Sequence&) const = default;
};

void PrintTo(const Sequence& s, std::ostream* out) {
  *out << "#" << s.number << " '" << s.id << "'";
}

struct Seen {
  std::vector<Sequence> sequences;
  std::uint64_t u_letters = 0;
};

Seen ByReader(const std::string& text) {
  Seen seen;
  SequenceReader reader;
  auto keep = [&](SequenceNumber number, const CodonCounts& counts, std::string_view id) {
    seen.sequences.push_back({number, std::string(id), counts});
  };
  ReadBytes(reader, text.data(), text.size(), keep);
  FinishReading(reader, keep);
  seen.u_letters = reader.u_letters;
  return seen;
}

// Splits `text` in pieces of `piece` bytes and counts each body on its own.
Seen BySplitter(const std::string& text, std::size_t piece) {
  struct Sink {
    Seen seen;
    std::string body;
    void Start(SequenceNumber number) {
      seen.sequences.push_back({number, "", {}});
      body.clear();
    }
    void Id(const char* t, std::size_t n) { seen.sequences.back().id.append(t, n); }
    void Body(const char* t, std::size_t n) { body.append(t, n); }
    void End() {
      SequenceReader reader;
      ReadBytes(reader, body.data(), body.size(),
                [](SequenceNumber, const CodonCounts&, std::string_view) { FAIL() << "a '>'"; });
      seen.sequences.back().counts = reader.counts;
      seen.u_letters += reader.u_letters;
    }
  } sink;
  SequenceSplitter splitter;
  for (std::size_t at = 0; at < text.size(); at += piece) {
    SplitBytes(splitter, text.data() + at, std::min(piece, text.size() - at), sink);
  }
  FinishSplitting(splitter, sink);
  sink.seen.u_letters += splitter.u_letters;
  return sink.seen;
}

// Text from an alphabet heavy in bases, line ends and '>', with the odd awkward byte.
std::string RandomText(std::mt19937& random, std::size_t size) {
  static const char kAlphabet[] = "ACGTACGTACGTacgtNUu \t\r\n\n\n>>x\v\f-";
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::uniform_int_distribution<int> odd(0, 255);
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += random() % 50 == 0 ? static_cast<char>(odd(random)) : kAlphabet[pick(random)];
  }
  return text;
}

class SplitterAgreesWithReader : public ::testing::TestWithParam<std::size_t> {};

TEST_P(SplitterAgreesWithReader, OnRandomTextInAnyPieces) {
  std::mt19937 random(static_cast<unsigned>(GetParam()));
  for (int round = 0; round < 200; ++round) {
    const std::string text = RandomText(random, 1 + random() % 400);
    const Seen expected = ByReader(text);
    for (std::size_t piece : {text.size(), std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
      const Seen seen = BySplitter(text, piece);
      ASSERT_EQ(seen.sequences, expected.sequences) << "pieces of " << piece;
      ASSERT_EQ(seen.u_letters, expected.u_letters) << "pieces of " << piece;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SplitterAgreesWithReader, ::testing::Values(1, 2, 3, 4),
                         [](const auto& test) { return "Seed" + std::to_string(test.param); });

TEST(SequenceSplitter, RealFastaShapes) {
  for (const std::string& text :
       {std::string(">a desc\r\nATGAAA\r\nTT\r\n>b\rCCC"), std::string("UUU ATG\n>x\nAUG>y z\nGGG"),
        std::string(">\n>\nATG\n"), std::string(">only header")}) {
    EXPECT_EQ(BySplitter(text, 3).sequences, ByReader(text).sequences) << text;
  }
}

}  // namespace
}  // namespace trelba
