// libFuzzer target: arbitrary bytes and an arbitrary genetic code (a variant argument or
// an NCBI table) through reading, analysis and report writing, in memory. Besides what the
// sanitizers catch, it checks the reports' shape and that the pieces the text arrives in
// change nothing. The same bytes are also read as a file through a pipe: plain text must
// come out unchanged, and whatever a decoder makes of compressed bytes is analysed too.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "analyse_text.hpp"
#include "fuzz_decode.hpp"
#include "fuzz_input.hpp"
#include "input/compression_format.hpp"

namespace {

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void Check(bool ok) {
  if (!ok) std::abort();
}

constexpr std::size_t kDecodedLimit = 1 << 20;

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
  if (run.text.size() > trelba::fuzz::kPipeBytes) return 0;
  const trelba::fuzz::Decoded file = trelba::fuzz::DecodeThroughPipe(run.text, kDecodedLimit);
  Check(file.opened);
  const auto format = trelba::SniffCompression(
      reinterpret_cast<const unsigned char*>(run.text.data()), run.text.size());
  if (format == trelba::CompressionFormat::kNone && !file.refused) {
    Check(!file.failed && file.text == run.text);
  } else if (!file.failed && !file.refused && !file.text.empty()) {
    trelba::AnalyseText(file.text, run.code);
  }
  return 0;
}
