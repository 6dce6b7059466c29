#include "driver/reference_columns.hpp"

#include <limits>

#include "analysis/codon_bias_index.hpp"
#include "analysis/gene_marks.hpp"
#include "analysis/reference_search.hpp"
#include "analysis/tail_probabilities.hpp"
#include "driver/background_choice.hpp"
#include "driver/messages.hpp"
#include "driver/output_names.hpp"
#include "reports/column_catalog.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

}  // namespace

void TakeReferenceFile(const ReferenceFile& file, ReferenceTotals& reference) {
  reference.name = file.name;
  reference.genes = file.genes;
  reference.rounds = kNotANumber;
  reference.starts_agree = kNotANumber;
  reference.pooled = file.pooled;
  reference.counts_known = file.counts_known;
  reference.table = *file.table;
  reference.contrast = file.contrast;
}

void MakeFoundTable(const SynonymousCodons& synonymous, std::string_view label,
                    const InputTotals& totals, const std::optional<OptimalCodonsText>& optimal,
                    ReferenceTotals& reference) {
  reference.table = MakeReferenceTable(synonymous, reference.pooled,
                                       CountsLess(totals.pooled, reference.pooled), optimal);
  reference.contrast = optimal ? std::string(kGivenContrast) : std::string(label);
}

ReferenceFound FindReference(const GeneticCode& code, const SynonymousCodons& synonymous,
                             std::string_view name, const InputTotals& totals,
                             std::uint64_t sequences, ReferenceTotals& reference) {
  bool unreadable = false;
  const GeneCounts genes = [&](const GeneVisit& visit) {
    GeneCountStore::Reader reader(*totals.store);
    CodonCounts counts;
    std::uint8_t marks = 0;
    while (reader.Next(counts, marks)) visit(counts, marks);
    unreadable = unreadable || reader.failed();
    return !reader.failed();
  };
  SearchResult search;
  const std::string prefix = std::string(name) + ": ";
  if (!SearchReference(code, synonymous, totals.pooled, sequences, genes, search)) {
    if (unreadable) return ReferenceFound::kUnreadable;
    Warning(prefix + "no sequence has " + std::to_string(kSearchMinimumCodons) +
            " codons of amino acids with a choice: no reference set was found");
    reference.rounds = kNotANumber;
    reference.sign = kNotANumber;
    reference.starts_agree = kNotANumber;
    reference.name = "auto";
    reference.found = false;
    return ReferenceFound::kNone;
  }
  for (const SearchStart* start : {&search.a, &search.b}) {
    const std::string which = start == &search.a ? "A" : "B";
    if (start->cycled) {
      Warning(prefix + "the search for a reference set from start " + which +
              " ended in a cycle of sets: its last set is taken");
    }
    if (start->unsettled) {
      Warning(prefix + "the search for a reference set from start " + which +
              " did not settle in " + std::to_string(kSearchMaxRounds) +
              " rounds: its last set is taken");
    }
  }
  if (search.starts_agree < 0.5) {
    Warning(prefix + "the reference found from two starts differs: check its genes (in_reference)");
  }
  const SearchStart& chosen = search.chosen();
  reference.name = search.chose_b ? "auto:B" : "auto:A";
  reference.genes = chosen.genes;
  reference.rounds = chosen.rounds;
  reference.starts_agree = search.starts_agree;
  reference.pooled = chosen.pooled;
  reference.members = std::make_unique<FoundMembers>(code, synonymous, totals.pooled, chosen.rule);
  return ReferenceFound::kYes;
}

bool AddReferenceColumns(const SynonymousCodons& synonymous, const TableLayout& layout,
                         InputTotals& totals, StagedSink* staged, OutputBuffer* table,
                         PlotData* plot, ReferenceTotals& reference) {
  reference.usage = UsageAgainst(synonymous, reference.table, totals.pooled);
  // No set, no sign: even use is no reference's.
  reference.sign = reference.counts_known && reference.found
                       ? ReferenceSign(synonymous, reference.pooled, totals.pooled)
                       : kNotANumber;
  // The codon bias index, where the table shows it.
  const bool cbi = table != nullptr && layout.Has(ColumnGroup::kCompositionReference);
  const CbiCodons cbi_codons = cbi ? CbiCodonsOf(synonymous, reference.usage) : CbiCodons{};

  const AdaptationTail tail(synonymous, reference.usage);

  GeneCountStore::Reader genes(*totals.store);
  std::uint64_t sequence = 0;
  bool in_reference = false;  // of the last sequence
  double cbi_of_last = kNotANumber;
  double excess_p = 0.0, adaptation_p = 0.0;  // of the last sequence
  // The next sequence's indices, gathered for the summary and the page.
  const auto next = [&]() -> std::optional<GeneIndices> {
    CodonCounts counts;
    std::uint8_t marks = 0;
    if (!genes.Next(counts, marks, excess_p)) return std::nullopt;
    // Only the table shows it, and only where the gene's adaptation is a number.
    adaptation_p = table != nullptr && reference.found ? tail.UpperP(counts) : kNotANumber;
    const GeneIndices indices =
        reference.found ? IndicesOf(reference.usage, counts)
                        : GeneIndices{kNotANumber, kNotANumber, kNotANumber, kNotANumber};
    if (cbi) cbi_of_last = reference.found ? CodonBiasIndex(cbi_codons, counts) : kNotANumber;
    reference.cai.Add({&indices.cai, 1});
    reference.fop.Add({&indices.fop, 1});
    reference.adaptation.Add({&indices.adaptation, 1});
    in_reference = reference.members != nullptr ? reference.members->Next(counts, marks)
                                                : (marks & kMarkReferenceFile) != 0;
    ++sequence;
    if (plot != nullptr) {
      plot->AddReferenceValues(sequence, indices.cai, indices.adaptation, in_reference);
    }
    return indices;
  };
  bool released = true;
  if (table != nullptr) {
    released = staged->ReleaseRows(*table, [&](OutputBuffer& out) {
      if (const std::optional<GeneIndices> indices = next()) {
        AppendWholeInputCells(out, layout,
                              {*indices, in_reference, cbi_of_last, excess_p, adaptation_p});
      }
    });
  } else {
    while (next()) {
    }
  }
  // Every row had its sequence's counts, and every sequence its row.
  return released && !genes.failed() && sequence == totals.store->size();
}

}  // namespace trelba
