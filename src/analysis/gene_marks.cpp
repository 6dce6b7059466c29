#include "analysis/gene_marks.hpp"

#include "analysis/machinery_names.hpp"
#include "analysis/reference_search.hpp"

namespace trelba {

std::uint8_t GeneMarks(const SynonymousCodons& synonymous, const CodonCounts& counts,
                       std::string_view description) {
  std::uint64_t length = 0;
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (synonymous.synonymous[c]) length += counts[c];
  }
  std::uint8_t marks = length >= kSearchMinimumCodons ? kMarkEligible : 0;
  if (NamesTranslationMachinery(description)) marks |= kMarkNamed;
  return marks;
}

}  // namespace trelba
