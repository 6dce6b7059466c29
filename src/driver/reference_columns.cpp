#include "driver/reference_columns.hpp"

#include <limits>

#include "driver/background_choice.hpp"
#include "driver/messages.hpp"
#include "driver/output_names.hpp"
#include "numeric/number_format.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

char* WriteNumberOrNa(char* p, double value) {
  if (value != value) {
    *p++ = 'N';
    *p++ = 'A';
    return p;
  }
  return FormatDouble(p, value);
}

// "\tcai\tfop\tadaptation\tadaptation_z\tin_reference" of one sequence.
void AppendColumns(OutputBuffer& out, const GeneIndices& indices, bool in_reference) {
  char* p = out.Reserve(4 * (kMaxNumberText + 1) + 2);
  for (const double value : {indices.cai, indices.fop, indices.adaptation, indices.adaptation_z}) {
    *p++ = '\t';
    p = WriteNumberOrNa(p, value);
  }
  *p++ = '\t';
  *p++ = in_reference ? '1' : '0';
  out.Commit(p);
}

}  // namespace

std::optional<std::string> ReadReferenceFile(const Options& options,
                                             const SynonymousCodons& synonymous,
                                             ReferenceFile& reference) {
  reference.name = InputName(*options.reference);
  if (auto error = PoolFile(options, *options.reference, reference.pooled, &reference.genes)) {
    return error;
  }
  const ReferenceUsage usage = UsageAgainst(synonymous, reference.pooled, reference.pooled);
  std::string acids;
  for (std::size_t a = 1; a <= kFamilyCount; ++a) {
    if (usage.absent[a]) acids += (acids.empty() ? "" : ", ") + std::string(kFamilyNames[a]);
  }
  if (!acids.empty()) {
    Warning(reference.name + ": the reference set has no codon of " + acids + ": left out of CAI");
  }
  return std::nullopt;
}

bool AddReferenceColumns(const ReferenceFile& file, const SynonymousCodons& synonymous,
                         InputTotals& totals, StagedSink* staged, OutputBuffer* table,
                         PlotData* plot, ReferenceTotals& reference) {
  reference.name = file.name;
  reference.genes = file.genes;
  reference.rounds = kNotANumber;
  reference.starts_agree = kNotANumber;
  reference.pooled = file.pooled;
  reference.usage = UsageAgainst(synonymous, file.pooled, totals.pooled);
  reference.sign = ReferenceSign(synonymous, file.pooled, totals.pooled);

  GeneCountStore::Reader genes(*totals.store);
  std::uint64_t sequence = 0;
  // The next sequence's indices, gathered for the summary and the page.
  const auto next = [&]() -> std::optional<GeneIndices> {
    CodonCounts counts;
    if (!genes.Next(counts)) return std::nullopt;
    const GeneIndices indices = IndicesOf(reference.usage, counts);
    reference.cai.Add({&indices.cai, 1});
    reference.fop.Add({&indices.fop, 1});
    reference.adaptation.Add({&indices.adaptation, 1});
    ++sequence;
    if (plot != nullptr) plot->AddReferenceValues(sequence, indices.cai, indices.adaptation, false);
    return indices;
  };
  bool released = true;
  if (table != nullptr) {
    released = staged->ReleaseRows(*table, [&](OutputBuffer& out) {
      if (const std::optional<GeneIndices> indices = next()) AppendColumns(out, *indices, false);
    });
  } else {
    while (next()) {
    }
  }
  // Every row had its sequence's counts, and every sequence its row.
  return released && !genes.failed() && sequence == totals.store->size();
}

}  // namespace trelba
