#include "driver/trna_file.hpp"

#include "driver/error_message.hpp"
#include "driver/output_names.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/trna_genes_text.hpp"

namespace trelba {
namespace {

// A gene finder's output larger than this is no list of tRNA genes.
constexpr std::size_t kLargestText = std::size_t{256} << 20;

}  // namespace

std::optional<std::string> ReadTrnaFile(const Options& options, std::optional<TrnaWeights>& weights,
                                        FailureCause* cause) {
  if (!options.trna) return std::nullopt;
  const std::string& file = *options.trna;
  const auto failed = [&](const char* doing, FailureCause why) {
    if (cause != nullptr) *cause = why;
    return FileErrorText(doing, InputName(file), why);
  };
  InputFile source;
  const bool opened =
      file == kStandardStream ? source.OpenDescriptor(kStandardInputDescriptor) : source.Open(file);
  if (!opened) return failed("opening", source.error());
  if (source.refusal() != nullptr) return failed("reading", {0, source.refusal()});
  std::string text;
  char block[1 << 14];
  for (std::ptrdiff_t n = 0; (n = source.Read(block, sizeof block)) != 0;) {
    if (n < 0) return failed("reading", source.error());
    if (text.size() > kLargestText)
      return failed("reading", {0, "it is too large for a list of tRNA genes"});
    text.append(block, static_cast<std::size_t>(n));
  }
  TrnaGenes genes;
  if (const auto why = ReadTrnaGenes(text, genes)) return failed("reading", {0, why->c_str()});
  weights = WeightsOfTrnaGenes(*options.code, genes.reading);
  return std::nullopt;
}

}  // namespace trelba
