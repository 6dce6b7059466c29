#include "driver/reference_genome.hpp"

#include "driver/messages.hpp"
#include "driver/output_names.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"

namespace trelba {
namespace {

void WarnNoGenome(const ReferenceFile& reference) {
  Warning(reference.name +
          ": no input holds a gene of the reference set (the same sequence): its optimal "
          "codons are found against every input's genes");
}

}  // namespace

std::optional<std::string> FindReferenceGenome(const Options& options,
                                               const SynonymousCodons& synonymous,
                                               ReferenceFile& reference, InputReader* reader) {
  for (const std::string& input : options.inputs) {
    if (input != kStandardStream && !ReadableOnce(input)) continue;
    return "--reference FILE with several inputs reads each input once more first, to find "
           "the one that holds the reference's genes, which " +
           (input == kStandardStream ? std::string(kStandardInputName)
                                     : "'" + input + "' (not a regular file)") +
           " cannot be: give a file, or the optimal codons (--optimal-codons FILE)";
  }
  std::optional<InputReader> own;
  if (reader == nullptr) reader = &own.emplace(ThreadCount(options));
  CodonCounts all{};
  CodonCounts best_rest{};
  std::uint64_t best = 0;
  std::string best_name;
  for (const std::string& input : options.inputs) {
    InputFile source;
    source.SetInflateThreads(ThreadCount(options));
    // An input that cannot be read fails when it is reported, with its error line.
    if (!source.Open(input) || source.refusal() != nullptr) continue;
    ReportRequest request;
    request.style.code = options.code;
    request.style.count_only = true;
    request.threads = ThreadCount(options);
    request.match = &reference.identities;
    const InputOutcome outcome = reader->Read(source, request);
    if (outcome.status != InputOutcome::Status::kDone) continue;
    const ReferenceMatches& matches = outcome.totals.matches;
    for (std::size_t c = 0; c <= kCodonCount; ++c) all[c] += outcome.totals.pooled[c];
    if (matches.distinct > best) {
      best = matches.distinct;
      best_rest = CountsLess(outcome.totals.pooled, matches.pooled);
      best_name = input;
    }
    if (best == reference.identities.size()) break;
  }
  if (best == 0) WarnNoGenome(reference);
  reference.table =
      MakeReferenceTable(synonymous, reference.pooled, best == 0 ? all : best_rest, std::nullopt);
  reference.contrast = best == 0 ? std::string(kAllInputsContrast) : best_name;
  return std::nullopt;
}

void TableFromInput(const SynonymousCodons& synonymous, std::string_view label,
                    const InputTotals& totals, ReferenceFile& reference) {
  const ReferenceMatches& matches = totals.matches;
  if (matches.distinct == 0) WarnNoGenome(reference);
  reference.table = MakeReferenceTable(synonymous, reference.pooled,
                                       CountsLess(totals.pooled, matches.pooled), std::nullopt);
  reference.contrast = matches.distinct == 0 ? std::string(kAllInputsContrast) : std::string(label);
}

}  // namespace trelba
