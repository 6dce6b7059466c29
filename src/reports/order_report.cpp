#include "reports/order_report.hpp"

#include "reports/number_format.hpp"

namespace trelba {

void WriteOrderBlock(OutputBuffer& out, const OrderTexts& order) {
  constexpr std::size_t kMaxBlockSize = kFamilyCount * (3 + kMaxNumberText + 1) + 1;
  char* p = out.Reserve(kMaxBlockSize);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    if (f >= 10) *p++ = static_cast<char>('0' + f / 10);
    *p++ = static_cast<char>('0' + f % 10);
    *p++ = ' ';
    p = CopyOrderText(p, order, f);
    *p++ = '\n';
  }
  *p++ = '\n';
  out.Commit(p);
}

void WriteOrderBlock(OutputBuffer& out, const FamilyValues& order) {
  OrderTexts texts;
  FormatOrderValues(order, texts);
  WriteOrderBlock(out, texts);
}

void WriteScoreLine(OutputBuffer& out, double score) {
  if (!IsListedScore(score)) return;
  char* p = out.Reserve(kMaxNumberText + 1);
  p = FormatDouble(p, score);
  *p++ = '\n';
  out.Commit(p);
}

void WriteAverageLine(OutputBuffer& out, const AverageScore& average) {
  out.Append("\naverage = ");
  if (average.empty()) {
    // 0/0 has its sign bit set on common hardware and would read "-nan".
    out.Append("nan\n");
    return;
  }
  char* p = out.Reserve(kMaxNumberText + 1);
  p = FormatDouble(p, average.value());
  *p++ = '\n';
  out.Commit(p);
}

}  // namespace trelba
