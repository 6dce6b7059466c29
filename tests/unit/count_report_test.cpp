#include "reports/count_report.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "numeric/number_format.hpp"
#include "reports/output_buffer.hpp"

namespace trelba {
namespace {

// The block as the report wrote it before the template: character by character.
std::string ReferenceBlock(SequenceNumber number, const CodonCounts& counts) {
  constexpr char kBases[] = "UCAG";
  char label[kMaxNumberText];
  const std::string prefix = "sequence#" + std::string(label, FormatSequenceLabel(label, number));
  std::string block;
  for (int first = 0; first < 4; ++first) {
    for (int third = 0; third < 4; ++third) {
      block += prefix;
      for (int second = 0; second < 4; ++second) {
        block += second == 0 ? ' ' : '\t';
        block += {kBases[first], kBases[second], kBases[third], '\t'};
        char text[kMaxNumberText];
        block.append(
            text, FormatCount(
                      text, counts[static_cast<std::size_t>(1 + 16 * first + 4 * second + third)]));
      }
      block += '\n';
    }
  }
  return block + "\n\n";
}

std::string Block(SequenceNumber number, const CodonCounts& counts, std::size_t capacity) {
  StringSink sink;
  OutputBuffer out(sink, capacity);
  WriteCountBlock(out, number, counts);
  out.Flush();
  return sink.text;
}

// Counts drawn from `values`, where the number of digits, or the switch to exponent
// notation, changes.
struct CountMix {
  const char* name;
  std::vector<std::uint64_t> values;
};

void PrintTo(const CountMix& mix, std::ostream* out) {
  *out << mix.name;
}

const std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

const CountMix kMixes[] = {
    {"DigitBoundaries", {0, 1, 9, 10, 11, 99, 100, 101, 999, 1000, 99999, 100000, 999999}},
    {"ExponentNotation", {1000000, 1000001, 1234567, 9999995, 10000000, 123456789012, kMax}},
    {"AllKinds", {0, 9, 10, 99, 100, 999999, 1000000, 40000000000, kMax - 1, kMax}},
    {"ZerosOnly", {0}},
};

class CountBlockAsBefore : public testing::TestWithParam<CountMix> {};

TEST_P(CountBlockAsBefore, SameBytesAsTheCharacterByCharacterWriter) {
  const std::vector<std::uint64_t>& values = GetParam().values;
  std::mt19937_64 random(values.size());
  std::uniform_int_distribution<std::size_t> pick(0, values.size() - 1);
  const SequenceNumber numbers[] = {0, 1, 9999999, 10000000, 123456789012, kMax};
  for (int trial = 0; trial < 2000; ++trial) {
    CodonCounts counts{};
    for (std::size_t k = 0; k <= kCodonCount; ++k) counts[k] = values[pick(random)];
    const SequenceNumber number = numbers[static_cast<std::size_t>(trial) % std::size(numbers)];
    const std::string expected = ReferenceBlock(number, counts);
    ASSERT_EQ(Block(number, counts, 1 << 16), expected) << "trial " << trial;
  }
}

INSTANTIATE_TEST_SUITE_P(Counts, CountBlockAsBefore, testing::ValuesIn(kMixes),
                         [](const testing::TestParamInfo<CountMix>& param) {
                           return std::string(param.param.name);
                         });

// Whole copies may write past the last byte of a block: blocks written one after another
// into a buffer just big enough must still come out intact.
TEST(CountBlockAsBefore, ConsecutiveBlocksInASmallBufferStayIntact) {
  CodonCounts counts{};
  for (std::size_t k = 1; k <= kCodonCount; ++k) counts[k] = k % 3 == 0 ? kMax : k;
  StringSink sink;
  {
    OutputBuffer out(sink, 4096);
    for (SequenceNumber n = 1; n <= 50; ++n) WriteCountBlock(out, n, counts);
    out.Flush();
  }
  std::string expected;
  for (SequenceNumber n = 1; n <= 50; ++n) expected += ReferenceBlock(n, counts);
  EXPECT_EQ(sink.text, expected);
}

}  // namespace
}  // namespace trelba
