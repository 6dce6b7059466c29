#include "input/input_survey.hpp"

namespace trelba {

std::vector<std::string> InputWarnings(const std::string& name, const InputSurvey& survey,
                                       std::uint64_t u_letters, bool any_header) {
  std::vector<std::string> lines;
  const std::string prefix = name + ": ";
  if (!any_header) {
    lines.push_back(prefix +
                    "no header line (a line starting with '>') was found: nothing is reported");
    return lines;
  }
  if (u_letters != 0) {
    lines.push_back(prefix + std::to_string(u_letters) +
                    " letters U or u (RNA spelling) were read: triples holding them are not "
                    "counted; convert U to T first");
  }
  const std::uint64_t triples = survey.codons + survey.other_triples;
  // Each U spoils at most one triple: RNA explains that many non-codon triples.
  if (survey.other_triples > survey.codons && survey.other_triples > u_letters) {
    lines.push_back(prefix + std::to_string(survey.other_triples) + " of " +
                    std::to_string(triples) +
                    " triples were not codons of T, C, A and G: is this a protein file?");
  }
  if (survey.long_sequences != 0) {
    lines.push_back(prefix + std::to_string(survey.long_sequences) +
                    (survey.long_sequences == 1 ? " sequence is" : " sequences are") +
                    " longer than any gene (the longest holds " + std::to_string(survey.longest) +
                    " letters): a whole genome is scored as one gene");
  }
  return lines;
}

}  // namespace trelba
