#include "driver/reference_file.hpp"

#include "analysis/given_reference_table.hpp"
#include "driver/background_choice.hpp"
#include "driver/error_message.hpp"
#include "driver/input_reader.hpp"
#include "driver/messages.hpp"
#include "driver/output_names.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"

namespace trelba {
namespace {

// A table is read whole into memory; one larger than this is no table.
constexpr std::size_t kLargestTable = std::size_t{16} << 20;
// The bytes read first to tell a table from FASTA.
constexpr std::size_t kFirstBytes = std::size_t{1} << 12;

// Opens `file` ("-": standard input), its compression told by its first bytes.
bool OpenSource(const Options& options, const std::string& file, InputFile& source) {
  source.SetInflateThreads(ThreadCount(options));
  return file == kStandardStream ? source.OpenDescriptor(kStandardInputDescriptor)
                                 : source.Open(file);
}

// Appends what `source` gives to `text` until it holds `limit` bytes or the source ends;
// false after a read error.
bool ReadUpTo(ByteSource& source, std::string& text, std::size_t limit) {
  char block[1 << 14];
  while (text.size() < limit) {
    const std::ptrdiff_t n = source.Read(block, sizeof block);
    if (n < 0) return false;
    if (n == 0) break;
    text.append(block, static_cast<std::size_t>(n));
  }
  return true;
}

// The error line of `file`, its cause kept in `cause` when asked.
std::string Failed(const std::string& file, const char* doing, FailureCause why,
                   FailureCause* cause) {
  if (cause != nullptr) *cause = why;
  return FileErrorText(doing, InputName(file), why);
}

void WarnOfAbsentAcids(const ReferenceFile& reference, const ReferenceTable& table) {
  std::string acids;
  for (std::size_t a = 1; a <= kFamilyCount; ++a) {
    if (table.absent[a]) acids += (acids.empty() ? "" : ", ") + std::string(kFamilyNames[a]);
  }
  if (!acids.empty()) {
    Warning(reference.name + ": the reference set has no codon of " + acids +
            ": left out of CAI, even use taken for them by adaptation");
  }
}

}  // namespace

CodonCounts CountsLess(const CodonCounts& whole, const CodonCounts& part) {
  CodonCounts rest{};
  for (std::size_t c = 0; c <= kCodonCount; ++c) rest[c] = whole[c] - part[c];
  return rest;
}

ReferenceTable MakeReferenceTable(const SynonymousCodons& synonymous, const CodonCounts& reference,
                                  const CodonCounts& rest,
                                  const std::optional<OptimalCodonsText>& optimal) {
  ReferenceTable table = TableOf(synonymous, reference, rest);
  if (optimal) GiveOptimalCodons(synonymous, *optimal, table);
  return table;
}

std::optional<std::string> ReadOptimalCodonsFile(const Options& options,
                                                 std::optional<OptimalCodonsText>& optimal,
                                                 FailureCause* cause) {
  if (!options.optimal_codons) return std::nullopt;
  const std::string& file = *options.optimal_codons;
  InputFile source;
  if (!OpenSource(options, file, source)) return Failed(file, "opening", source.error(), cause);
  std::string text;
  if (!ReadUpTo(source, text, kLargestTable)) return Failed(file, "reading", source.error(), cause);
  if (const auto why = ReadOptimalCodons(text, optimal.emplace())) {
    return Failed(file, "reading", {0, why->c_str()}, cause);
  }
  return std::nullopt;
}

std::optional<std::string> ReadReferenceFile(const Options& options,
                                             const SynonymousCodons& synonymous,
                                             ReferenceFile& reference,
                                             std::optional<OptimalCodonsText>& optimal,
                                             FailureCause* cause) {
  if (auto error = ReadOptimalCodonsFile(options, optimal, cause)) return error;
  const std::string& file = *options.reference;
  reference.name = InputName(file);
  InputFile source;
  if (!OpenSource(options, file, source)) return Failed(file, "opening", source.error(), cause);
  if (source.refusal() != nullptr) return Failed(file, "reading", {0, source.refusal()}, cause);
  std::string head;
  if (!ReadUpTo(source, head, kFirstBytes)) return Failed(file, "reading", source.error(), cause);
  if (LooksLikeCodonTable(head)) {
    if (!ReadUpTo(source, head, kLargestTable)) {
      return Failed(file, "reading", source.error(), cause);
    }
    CodonTableText text;
    ReferenceTable table;
    bool counts_kept = false;
    std::optional<std::string> why = ReadCodonTable(head, text);
    if (!why) why = TableOfText(synonymous, text, table, counts_kept);
    if (why) return Failed(file, "reading", {0, why->c_str()}, cause);
    if (optimal) GiveOptimalCodons(synonymous, *optimal, table);
    if (!text.has_optimal && !optimal) {
      Warning(reference.name +
              ": a table of w names no optimal codons: fop is NA (give --optimal-codons)");
    }
    reference.counts_known = counts_kept;
    if (counts_kept) reference.pooled = text.counts;
    reference.table = table;
    reference.contrast = kGivenContrast;
    WarnOfAbsentAcids(reference, table);
    return std::nullopt;
  }
  PrefixedSource whole(head, source);
  ReportRequest request;
  request.style.code = options.code;
  request.style.count_only = true;
  request.threads = ThreadCount(options);
  request.collect = &reference.identities;
  InputOutcome outcome = ReportInput(whole, request);
  if (outcome.status != InputOutcome::Status::kDone) {
    return Failed(file, "reading", CauseOf(outcome.status, source), cause);
  }
  // Its text checked as an input's; a reference of no codon would give numbers of nothing.
  for (const std::string& line : InputWarnings(reference.name, outcome.totals.survey,
                                               outcome.totals.u_letters, outcome.any_header())) {
    Warning(line);
  }
  std::uint64_t codons = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) codons += outcome.totals.pooled[c];
  if (codons == 0) return Failed(file, "reading", {0, kNoCodonCounted}, cause);
  reference.genes_given = true;
  reference.counts_known = true;
  reference.pooled = outcome.totals.pooled;
  reference.genes = outcome.scanner.sequence;
  reference.identities.Seal();
  if (optimal) {
    reference.table = MakeReferenceTable(synonymous, reference.pooled, reference.pooled, optimal);
    reference.contrast = kGivenContrast;
  }
  WarnOfAbsentAcids(reference, TableOf(synonymous, reference.pooled, reference.pooled));
  return std::nullopt;
}

}  // namespace trelba
