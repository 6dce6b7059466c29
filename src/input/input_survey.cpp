#include "input/input_survey.hpp"

#include "input/text_format.hpp"

namespace trelba {

std::vector<std::string> InputWarnings(const std::string& name, const InputSurvey& survey,
                                       std::uint64_t u_letters, bool any_header,
                                       const SequenceFilters& filters, int first_byte) {
  std::vector<std::string> lines;
  const std::string prefix = name + ": ";
  if (!any_header) {
    lines.push_back(prefix + "not sequence data (" +
                    std::string(NoSequenceKind(first_byte, survey.nul_bytes != 0)) +
                    "): no FASTA header line (a line starting with '>'), GenBank, EMBL or GFF3 "
                    "record was found: nothing is reported");
    return lines;
  }
  if (u_letters != 0) {
    lines.push_back(prefix + std::to_string(u_letters) +
                    " letters U or u (RNA spelling) were read: triples holding them are not "
                    "counted; convert U to T first");
  }
  const std::uint64_t triples = survey.codons + survey.other_triples;
  // Each U spoils at most one triple: RNA explains that many non-codon triples.
  const bool protein = survey.other_triples > survey.codons && survey.other_triples > u_letters;
  if (protein) {
    lines.push_back(prefix + std::to_string(survey.other_triples) + " of " +
                    std::to_string(triples) +
                    " triples were not codons of T, C, A and G: is this a protein file?");
  }
  if (survey.long_sequences != 0) {
    lines.push_back(prefix + std::to_string(survey.long_sequences) +
                    (survey.long_sequences == 1 ? " sequence is" : " sequences are") +
                    " longer than any gene (the longest holds " + std::to_string(survey.longest) +
                    " letters): a whole genome is scored as one gene; give its annotation with "
                    "--gff FILE, or its GenBank file");
  }
  const auto counted = [](std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + (n == 1 ? one : many);
  };
  if (survey.comment_lines != 0) {
    lines.push_back(prefix + counted(survey.comment_lines, " line starts", " lines start") +
                    " with ';' (the first: line " + std::to_string(survey.first_comment_line) +
                    "): comment lines of old FASTA files are read as sequence letters here");
  }
  if (survey.inline_headers != 0) {
    lines.push_back(
        prefix +
        counted(survey.inline_headers, " '>' inside a line starts", " '>' inside lines start") +
        " a new sequence (the first: line " + std::to_string(survey.first_inline_header_line) +
        ")");
  }
  if (survey.nul_bytes != 0) {
    lines.push_back(prefix + counted(survey.nul_bytes, " byte is", " bytes are") +
                    " NUL (the first: byte " + std::to_string(survey.first_nul_byte) +
                    " of the text): UTF-16 or UTF-32 text there is read as bytes");
  }
  if (survey.long_ids != 0) {
    lines.push_back(prefix + counted(survey.long_ids, " identifier is", " identifiers are") +
                    " longer than " + std::to_string(kMaxIdBytes) +
                    " bytes and cut there in the table (the first: header on line " +
                    std::to_string(survey.first_long_id_line) + ")");
  }
  // What stop codons and lengths say of coding sequences, unless they are no DNA at all.
  const std::string leaves = filters.cds_only ? "" : "; --cds-only leaves them out";
  if (survey.internal_stop_sequences != 0 && !protein) {
    lines.push_back(prefix +
                    counted(survey.internal_stop_sequences, " sequence has", " sequences have") +
                    " stop codons before the last codon (the first: header on line " +
                    std::to_string(survey.first_internal_stop_line) + ")" + leaves);
  }
  if (survey.partial_sequences != 0 && !protein) {
    lines.push_back(
        prefix +
        counted(survey.partial_sequences, " sequence's length is", " sequences' lengths are") +
        " not a multiple of 3 (the first: header on line " +
        std::to_string(survey.first_partial_line) + ")" + leaves);
  }
  if (!filters.cds_only && survey.rna_marked != 0) {
    lines.push_back(prefix + counted(survey.rna_marked, " sequence is", " sequences are") +
                    " marked as RNA in the header (the first: header on line " +
                    std::to_string(survey.first_rna_line) + ")" + leaves);
  }
  if (!filters.cds_only && survey.pseudogenes_marked != 0) {
    lines.push_back(prefix + counted(survey.pseudogenes_marked, " sequence is", " sequences are") +
                    " marked as a pseudogene in the header (the first: header on line " +
                    std::to_string(survey.first_pseudogene_line) + ")" + leaves);
  }
  if (survey.left_out_total() != 0) {
    const auto& n = survey.left_out;
    std::string why;
    const auto add = [&](std::uint64_t count, const std::string& text) {
      if (count == 0) return;
      why += why.empty() ? "" : ", ";
      why += std::to_string(count) + " " + text;
    };
    add(n[static_cast<std::size_t>(LeftOut::kRna)], "marked as RNA");
    add(n[static_cast<std::size_t>(LeftOut::kPseudogene)], "marked as pseudogenes");
    add(n[static_cast<std::size_t>(LeftOut::kStops)], "with stop codons before the last codon");
    add(n[static_cast<std::size_t>(LeftOut::kFrame)], "with a length not a multiple of 3");
    add(n[static_cast<std::size_t>(LeftOut::kShort)],
        "of fewer than " + std::to_string(filters.min_codons) + " codons (--min-codons)");
    lines.push_back(prefix + counted(survey.left_out_total(), " sequence", " sequences") +
                    " left out: " + why);
  }
  return lines;
}

}  // namespace trelba
