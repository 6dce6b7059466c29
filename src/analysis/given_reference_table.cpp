#include "analysis/given_reference_table.hpp"

#include <cmath>

namespace trelba {
namespace {

constexpr double kSmallestW = 0.0001;
constexpr double kTakenForSmall = 0.01;

// Whether the counts give every w the text gives, to its six significant digits.
bool CountsGiveW(const SynonymousCodons& synonymous, const CodonTableText& text,
                 const ReferenceTable& from_counts) {
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (!synonymous.synonymous[c]) continue;
    if (text.has_w[c] != from_counts.in_cai[c]) return false;
    if (text.has_w[c] && std::fabs(from_counts.w[c] - text.w[c]) > 5e-6 * text.w[c]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> TableOfText(const SynonymousCodons& synonymous,
                                       const CodonTableText& text, ReferenceTable& table,
                                       bool& counts_kept) {
  table = ReferenceTable{};
  counts_kept = false;
  if (text.has_counts) {
    const ReferenceTable from_counts = TableOf(synonymous, text.counts, CodonCounts{});
    if (CountsGiveW(synonymous, text, from_counts)) {
      table = from_counts;
      counts_kept = true;
    }
  }
  if (!counts_kept) {
    for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
      const Family& codons = synonymous.acids[a].codons;
      unsigned with_w = 0;
      for (unsigned m = 0; m < codons.size; ++m) with_w += text.has_w[codons.members[m]];
      if (with_w != 0 && with_w != codons.size) {
        return std::string("the codons of ") +
               std::string(kFamilyNames[synonymous.acids[a].family]) +
               " have w and NA mixed: give all of them or none";
      }
      table.absent[synonymous.acids[a].family] = with_w == 0;
      for (unsigned m = 0; m < codons.size; ++m) {
        const std::uint8_t c = codons.members[m];
        if (!text.has_w[c]) continue;
        table.w[c] = text.w[c] < kSmallestW ? kTakenForSmall : text.w[c];
        table.in_cai[c] = true;
      }
    }
    UsageFromW(synonymous, table);
  }
  table.optimal = {};
  table.in_fop = {};
  if (text.has_optimal) {
    OptimalCodonsText codons;
    for (std::size_t c = 1; c <= kCodonCount; ++c) codons.value[c] = text.optimal[c] ? 3 : 2;
    GiveOptimalCodons(synonymous, codons, table);
  }
  return std::nullopt;
}

void GiveOptimalCodons(const SynonymousCodons& synonymous, const OptimalCodonsText& codons,
                       ReferenceTable& table) {
  table.optimal = {};
  table.in_fop = {};
  for (std::size_t a = 0; a < synonymous.acid_count; ++a) {
    const Family& acid = synonymous.acids[a].codons;
    bool any_optimal = false;
    for (unsigned m = 0; m < acid.size; ++m) any_optimal |= codons.value[acid.members[m]] == 3;
    for (unsigned m = 0; m < acid.size; ++m) {
      const std::uint8_t c = acid.members[m];
      table.optimal[c] = codons.value[c] == 3;
      table.in_fop[c] = any_optimal && codons.value[c] != 0;
    }
  }
}

}  // namespace trelba
