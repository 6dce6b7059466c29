// libFuzzer target: arbitrary bytes and an arbitrary genetic code (a variant argument or
// an NCBI table) through reading, analysis and report writing, in memory. Besides what the
// sanitizers catch, it checks the reports' shape and that the pieces the text arrives in
// change nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/pipeline.hpp"
#include "fuzz_input.hpp"

namespace {

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const trelba::fuzz::FuzzRun run = trelba::fuzz::SplitFuzzInput(data, size);
  const trelba::GeneticCode& code = trelba::fuzz::FuzzCode(run.code);
  const trelba::ReportTexts whole = trelba::AnalyseText(run.text, code);
  const std::size_t sequences = Lines(whole.order) / 22;
  Check(Lines(whole.order) == sequences * 22);
  Check(Lines(whole.counts) == sequences * 18);
  Check(whole.scores.size() >= 12 && whole.scores.find("\naverage = ") != std::string::npos);
  Check(whole.scores.back() == '\n');
  if (run.piece != 0) {
    const trelba::ReportTexts pieces = trelba::AnalyseText(run.text, code, run.piece);
    Check(pieces.order == whole.order && pieces.scores == whole.scores &&
          pieces.counts == whole.counts);
  }
  return 0;
}
