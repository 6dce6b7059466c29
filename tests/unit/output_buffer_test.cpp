// The report buffer hands on every byte in order, whether a text is copied in or, being at
// least as large as the buffer, goes straight to the sink.
#include "reports/output_buffer.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace trelba {
namespace {

// Keeps every write apart; fails every write from the `fail_from`-th (counting from 0) on.
class RecordingSink final : public ByteSink {
 public:
  explicit RecordingSink(std::size_t fail_from = SIZE_MAX) : fail_from_(fail_from) {}
  bool Write(const char* data, std::size_t size) override {
    if (writes.size() >= fail_from_) return false;
    writes.emplace_back(data, size);
    return true;
  }
  std::string All() const {
    std::string all;
    for (const std::string& w : writes) all += w;
    return all;
  }
  std::vector<std::string> writes;

 private:
  std::size_t fail_from_;
};

struct AppendCase {
  const char* name;
  std::vector<std::size_t> sizes;  // the texts appended, one after another
};

void PrintTo(const AppendCase& c, std::ostream* out) {
  *out << c.name;
}

constexpr std::size_t kCapacity = 16;

// Distinct bytes for every position, so that a lost, doubled or swapped piece shows.
std::string Piece(std::size_t size, std::size_t first) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += static_cast<char>('!' + (first + i) % 90);
  return text;
}

class Appends : public testing::TestWithParam<AppendCase> {};

TEST_P(Appends, ReachTheSinkWholeAndInOrder) {
  RecordingSink sink;
  OutputBuffer buffer(sink, kCapacity);
  std::string expected;
  for (const std::size_t size : GetParam().sizes) {
    const std::string text = Piece(size, expected.size());
    buffer.Append(text);
    expected += text;
  }
  ASSERT_TRUE(buffer.Flush());
  EXPECT_EQ(sink.All(), expected);
  for (const std::string& w : sink.writes) EXPECT_FALSE(w.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Appends,
    testing::Values(AppendCase{"SmallPieces", {3, 5, 7, 2}},
                    AppendCase{"FillsExactly", {kCapacity - 1, 1, 4}},
                    AppendCase{"AsLargeAsTheBufferAlone", {kCapacity}},
                    AppendCase{"LargeAfterBuffered", {5, kCapacity, 3}},
                    AppendCase{"LargerThanTheBuffer", {kCapacity * 3 + 1, 2}},
                    AppendCase{"OneLessThanTheBufferAfterSome", {9, kCapacity - 1, kCapacity - 1}},
                    AppendCase{"EmptyPieces", {0, 4, 0, kCapacity + 2, 0}}),
    [](const testing::TestParamInfo<AppendCase>& param) { return std::string(param.param.name); });

// A text that goes straight through is one write, not one per buffer's worth.
TEST(OutputBufferAppend, LargeTextIsOneWriteAfterTheBufferedBytes) {
  RecordingSink sink;
  OutputBuffer buffer(sink, kCapacity);
  buffer.Append("abc");
  const std::string large = Piece(kCapacity * 4, 3);
  buffer.Append(large);
  ASSERT_EQ(sink.writes.size(), 2u);
  EXPECT_EQ(sink.writes[0], "abc");
  EXPECT_EQ(sink.writes[1], large);
}

// After a failed write nothing more reaches the sink, however it is appended.
TEST(OutputBufferAppend, NothingAfterAFailedWrite) {
  for (const std::size_t fail_from : {0u, 1u}) {
    RecordingSink sink(fail_from);
    OutputBuffer buffer(sink, kCapacity);
    buffer.Append(Piece(kCapacity + 1, 0));
    buffer.Append(Piece(kCapacity * 2, 0));
    buffer.Append("tail");
    EXPECT_FALSE(buffer.Flush()) << fail_from;
    EXPECT_TRUE(buffer.failed());
    EXPECT_EQ(sink.writes.size(), fail_from);
  }
}

// What a worker leaves in its batch's buffer is handed on and dropped without the sink.
TEST(OutputBufferPending, IsWhatWasWrittenSinceTheLastFlush) {
  RecordingSink sink;
  OutputBuffer buffer(sink, kCapacity);
  buffer.Append("0123456789");
  EXPECT_EQ(buffer.pending(), "0123456789");
  buffer.Clear();
  EXPECT_EQ(buffer.pending(), "");
  buffer.Append("xy");
  ASSERT_TRUE(buffer.Flush());
  EXPECT_EQ(sink.All(), "xy");
}

}  // namespace
}  // namespace trelba
