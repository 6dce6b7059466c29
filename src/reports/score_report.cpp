#include "reports/score_report.hpp"

#include "numeric/number_format.hpp"

namespace trelba {

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
