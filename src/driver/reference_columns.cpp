#include "driver/reference_columns.hpp"

#include <cmath>
#include <limits>

#include "analysis/codon_bias_index.hpp"
#include "analysis/gene_marks.hpp"
#include "analysis/reference_search.hpp"
#include "analysis/reference_trust.hpp"
#include "analysis/tail_probabilities.hpp"
#include "driver/background_choice.hpp"
#include "driver/messages.hpp"
#include "driver/output_names.hpp"
#include "driver/reference_genome.hpp"
#include "numeric/number_format.hpp"
#include "reports/gene_count_store.hpp"

namespace trelba {
namespace {

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// A number as the reports spell it, NA for NaN.
std::string NumberText(double value) {
  if (std::isnan(value)) return "NA";
  char text[kMaxNumberText];
  return std::string(text, FormatDouble(text, value));
}

// The strengths of the sets the same search (start A) finds in the copies of the input.
bool SearchedStrengthsByChance(const GeneticCode& code, const SynonymousCodons& synonymous,
                               const InputTotals& totals, std::uint64_t sequences,
                               const GeneCounts& genes, double (&strengths)[kChanceCopies]) {
  // Each copy's counts are drawn once into a store of their own, read by its search.
  GeneCountStore copy_store;
  for (int copy = 0; copy < kChanceCopies; ++copy) {
    copy_store.Clear();
    std::uint64_t gene = 0;
    CodonCounts drawn;
    if (!genes([&](const CodonCounts& counts, std::uint8_t marks) {
          RedrawGene(synonymous, totals.pooled, counts, copy, gene++, drawn);
          copy_store.Add(drawn, marks);
        }) ||
        copy_store.failed()) {
      return false;
    }
    const GeneCounts copy_genes = [&](const GeneVisit& visit) {
      GeneCountStore::Reader reader(copy_store);
      CodonCounts counts;
      std::uint8_t marks = 0;
      while (reader.Next(counts, marks)) visit(counts, marks);
      return !reader.failed();
    };
    SearchResult result;
    // From start A alone: the set the excess leads to, as a chance one would be taken.
    if (!SearchReference(code, synonymous, totals.pooled, sequences, copy_genes, result, kHeapGenes,
                         true)) {
      return false;
    }
    strengths[copy] = SetStrength(synonymous, result.a.pooled, totals.pooled);
  }
  return true;
}

// How the set stands against chance and against its input's GC3s, with a warning where it
// is no stronger than chance or is the tail of GC3s; false when the genes, or the copies'
// counts, cannot be kept or read back. A set found by its codons is told against the sets
// the same search finds in the copies; a set named by the headers against its own genes
// in the copies.
bool TellTrust(const GeneticCode& code, const SynonymousCodons& synonymous,
               const std::string& prefix, const InputTotals& totals, std::uint64_t sequences,
               const GeneCounts& genes, ReferenceTotals& reference) {
  reference.strength = SetStrength(synonymous, reference.pooled, totals.pooled);
  double strengths[kChanceCopies] = {};
  const bool named = reference.route == kRouteNames || reference.route == kRouteHomology;
  const std::uint8_t mark = reference.route == kRouteNames ? kMarkNamed : kMarkHomolog;
  if (named ? !MarkedStrengthsByChance(synonymous, totals.pooled, genes, mark, strengths)
            : !SearchedStrengthsByChance(code, synonymous, totals, sequences, genes, strengths)) {
    return false;
  }
  const ChanceStrength chance = StrengthByChance(reference.strength, strengths);
  reference.chance_strength = chance.mean;
  reference.chance_z = chance.z;
  reference.gc3s = Gc3s(CountSynonymousThirds(synonymous, reference.pooled));
  if (!ShareOfGc3sAbove(synonymous, genes, reference.gc3s, reference.gc3s_above)) return false;
  if (!(reference.chance_z >= kChanceZWarning)) {
    Warning(prefix +
            (named ? "the reference set of the translation machinery is no stronger than its own "
                     "codons drawn at random (chance_z "
                   : "the reference set found is no stronger than those found in the input's "
                     "codons drawn at random (chance_z ") +
            NumberText(reference.chance_z) + "): its genes may not be highly expressed");
  }
  if (reference.gc3s_above <= kGc3sTailWarning) {
    Warning(prefix + "the reference set found is the tail of GC3s (gc3s_above " +
            NumberText(reference.gc3s_above) +
            "): it may follow the genes' composition rather than their expression");
  }
  return true;
}

}  // namespace

void SetTrustUnknown(ReferenceTotals& reference) {
  reference.strength = kNotANumber;
  reference.chance_strength = kNotANumber;
  reference.chance_z = kNotANumber;
  reference.gc3s = kNotANumber;
  reference.gc3s_above = kNotANumber;
}

void TakeReferenceFile(const ReferenceFile& file, ReferenceTotals& reference) {
  reference.name = file.name;
  reference.route = std::string(kRouteFile);
  reference.genes = file.genes;
  reference.rounds = kNotANumber;
  reference.starts_agree = kNotANumber;
  SetTrustUnknown(reference);
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
  const std::string prefix = std::string(name) + ": ";
  // The genes the headers name as the translation machinery, where there are enough; else
  // those whose proteins resemble it.
  for (const std::uint8_t mark : {kMarkNamed, kMarkHomolog}) {
    std::uint64_t marked_genes = 0;
    CodonCounts marked_pooled{};
    if (!genes([&](const CodonCounts& counts, std::uint8_t marks) {
          if ((marks & mark) == 0) return;
          ++marked_genes;
          for (std::size_t c = 0; c <= kCodonCount; ++c) marked_pooled[c] += counts[c];
        })) {
      return ReferenceFound::kUnreadable;
    }
    if (marked_genes < kNamedMinimum) continue;
    SetRule rule;
    rule.by = SetRule::By::kNamed;
    rule.mark = mark;
    const bool named = mark == kMarkNamed;
    reference.name = named ? "auto:names" : "auto:homology";
    reference.route = std::string(named ? kRouteNames : kRouteHomology);
    reference.genes = marked_genes;
    reference.rounds = kNotANumber;
    reference.starts_agree = kNotANumber;
    reference.pooled = marked_pooled;
    reference.members = std::make_unique<FoundMembers>(code, synonymous, totals.pooled, rule);
    if (!TellTrust(code, synonymous, prefix, totals, sequences, genes, reference)) {
      return ReferenceFound::kUnreadable;
    }
    return ReferenceFound::kYes;
  }
  reference.route = std::string(kRouteCodons);
  SearchResult search;
  if (!SearchReference(code, synonymous, totals.pooled, sequences, genes, search)) {
    if (unreadable) return ReferenceFound::kUnreadable;
    Warning(prefix + "no sequence has " + std::to_string(kSearchMinimumCodons) +
            " codons of amino acids with a choice: no reference set was found");
    reference.rounds = kNotANumber;
    reference.sign = kNotANumber;
    reference.starts_agree = kNotANumber;
    SetTrustUnknown(reference);
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
  if (!TellTrust(code, synonymous, prefix, totals, sequences, genes, reference)) {
    return ReferenceFound::kUnreadable;
  }
  return ReferenceFound::kYes;
}

void UseReferenceAgainst(const SynonymousCodons& synonymous, const InputTotals& totals, bool cbi,
                         ReferenceTotals& reference) {
  reference.usage = UsageAgainst(synonymous, reference.table, totals.pooled);
  // No set, no sign: even use is no reference's.
  reference.sign = reference.counts_known && reference.found
                       ? ReferenceSign(synonymous, reference.pooled, totals.pooled)
                       : kNotANumber;
  reference.cbi = cbi;
  if (cbi) reference.cbi_codons = CbiCodonsOf(synonymous, reference.usage);
  reference.tail.emplace(synonymous, reference.usage);
}

void AddReferenceCells(ReferenceTotals& reference, const CodonCounts& counts, std::uint8_t marks,
                       std::uint64_t sequence, PlotData* plot, bool table, WholeInputCells& cells) {
  // Only the table shows it, and only where the gene's adaptation is a number.
  cells.adaptation_p = table && reference.found ? reference.tail->UpperP(counts) : kNotANumber;
  const GeneIndices indices = reference.found
                                  ? IndicesOf(reference.usage, counts)
                                  : GeneIndices{kNotANumber, kNotANumber, kNotANumber, kNotANumber};
  if (reference.cbi) {
    cells.cbi = reference.found ? CodonBiasIndex(reference.cbi_codons, counts) : kNotANumber;
  }
  reference.cai.Add({&indices.cai, 1});
  reference.fop.Add({&indices.fop, 1});
  reference.adaptation.Add({&indices.adaptation, 1});
  const bool in_reference = reference.members != nullptr ? reference.members->Next(counts, marks)
                                                         : (marks & kMarkReferenceFile) != 0;
  if (plot != nullptr) {
    plot->AddReferenceValues(sequence + 1, indices.cai, indices.adaptation, in_reference);
  }
  cells.reference = indices;
  cells.in_reference = in_reference;
}

ReferenceFound ChooseReference(const WholeInputReference& input, const InputTotals& totals,
                               std::uint64_t sequences, ReferenceTotals& reference) {
  ReferenceFound found = ReferenceFound::kYes;
  if (input.file != nullptr) {
    if (TableWaitsForGenome(*input.file)) {
      TableFromInput(input.synonymous, input.label, totals, *input.file);
    }
    TakeReferenceFile(*input.file, reference);
  } else {
    found = FindReference(input.code, input.synonymous, input.name, totals, sequences, reference);
    if (found == ReferenceFound::kYes) {
      MakeFoundTable(input.synonymous, input.label, totals, input.optimal, reference);
    }
  }
  if (found != ReferenceFound::kUnreadable) {
    UseReferenceAgainst(input.synonymous, totals, input.cbi, reference);
  }
  return found;
}

}  // namespace trelba
