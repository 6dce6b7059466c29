#include "reports/count_report.hpp"

#include <array>
#include <cstring>

#include "numeric/number_format.hpp"

namespace trelba {
namespace {

constexpr char kRnaBases[] = "UCAG";  // base numbers 0 to 3
constexpr char kLinePrefix[] = "sequence#";
constexpr std::size_t kLinePrefixSize = sizeof kLinePrefix - 1;
constexpr int kLines = 16;
constexpr int kColumns = 4;

// The fixed text before each count of a block, in block order: " UUU\t", "\tUCU\t", ...
// Each is padded to eight bytes and copied whole; the write position then moves on by five.
constexpr std::size_t kCodonTextSize = 5;
constexpr std::size_t kCodonTextCopy = 8;
struct CountColumn {
  std::array<char, kCodonTextCopy> text{};
  std::uint8_t codon = 0;  // codon index of the count
};

// Lines go by first base, then third base; the columns of a line by second base.
constexpr std::array<CountColumn, kLines* kColumns> kBlockColumns = [] {
  std::array<CountColumn, kLines * kColumns> columns{};
  std::size_t i = 0;
  for (int first = 0; first < 4; ++first) {
    for (int third = 0; third < 4; ++third) {
      for (int second = 0; second < 4; ++second, ++i) {
        columns[i].text = {second == 0 ? ' ' : '\t', kRnaBases[first], kRnaBases[second],
                           kRnaBases[third], '\t'};
        columns[i].codon = static_cast<std::uint8_t>(1 + 16 * first + 4 * second + third);
      }
    }
  }
  return columns;
}();

// "sequence#" and the label (at most the twenty digits of a 64-bit number), copied whole
// into every line.
constexpr std::size_t kPrefixCopy = 32;
static_assert(kLinePrefixSize + 20 <= kPrefixCopy);

// Longest block: 16 lines of prefix, label and four codons with their counts, two more
// line ends. Whole copies write at most kPrefixCopy, or kCodonTextCopy, bytes from where
// a line's prefix, or a codon's text, starts; both fit in the room of the longest line.
constexpr std::size_t kMaxLineSize = kPrefixCopy + kColumns * (kCodonTextCopy + kMaxNumberText) + 1;
constexpr std::size_t kMaxBlockSize = kLines * kMaxLineSize + 2;

}  // namespace

void WriteCountBlock(OutputBuffer& out, SequenceNumber number, const CodonCounts& counts) {
  char prefix[kLinePrefixSize + kMaxNumberText] = {};
  std::memcpy(prefix, kLinePrefix, kLinePrefixSize);
  const auto prefix_size =
      static_cast<std::size_t>(FormatSequenceLabel(prefix + kLinePrefixSize, number) - prefix);

  char* p = out.Reserve(kMaxBlockSize);
  const CountColumn* column = kBlockColumns.data();
  for (int line = 0; line < kLines; ++line) {
    std::memcpy(p, prefix, kPrefixCopy);
    p += prefix_size;
    for (int c = 0; c < kColumns; ++c, ++column) {
      std::memcpy(p, column->text.data(), kCodonTextCopy);
      const std::uint64_t count = counts[column->codon];
      if (count < 10) {  // most counts: one digit, in the room the copy left
        p[kCodonTextSize] = static_cast<char>('0' + count);
        p += kCodonTextSize + 1;
      } else {
        p = FormatCount(p + kCodonTextSize, count);
      }
    }
    *p++ = '\n';
  }
  *p++ = '\n';
  *p++ = '\n';
  out.Commit(p);
}

}  // namespace trelba
