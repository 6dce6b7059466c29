#include "reports/count_report.hpp"

#include <cstring>

#include "reports/number_format.hpp"

namespace trelba {
namespace {

constexpr char kRnaBases[] = "UCAG";  // base numbers 0 to 3
constexpr char kLinePrefix[] = "sequence#";
constexpr std::size_t kLinePrefixSize = sizeof kLinePrefix - 1;

// Longest block: 16 lines of prefix, label and four codons with their counts, two more
// line ends.
constexpr std::size_t kMaxBlockSize =
    16 * (kLinePrefixSize + kMaxNumberText + 4 * (5 + kMaxNumberText) + 1) + 2;

}  // namespace

void WriteCountBlock(OutputBuffer& out, SequenceNumber number, const CodonCounts& counts) {
  char label[kMaxNumberText];
  const auto label_size = static_cast<std::size_t>(FormatSequenceLabel(label, number) - label);

  char* p = out.Reserve(kMaxBlockSize);
  // Lines go by first base, then third base; the columns of a line by second base.
  for (int first = 0; first < 4; ++first) {
    for (int third = 0; third < 4; ++third) {
      std::memcpy(p, kLinePrefix, kLinePrefixSize);
      p += kLinePrefixSize;
      std::memcpy(p, label, label_size);
      p += label_size;
      for (int second = 0; second < 4; ++second) {
        *p++ = second == 0 ? ' ' : '\t';
        *p++ = kRnaBases[first];
        *p++ = kRnaBases[second];
        *p++ = kRnaBases[third];
        *p++ = '\t';
        p = FormatCount(p, counts[static_cast<std::size_t>(1 + 16 * first + 4 * second + third)]);
      }
      *p++ = '\n';
    }
  }
  *p++ = '\n';
  *p++ = '\n';
  out.Commit(p);
}

}  // namespace trelba
