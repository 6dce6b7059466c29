#include "input/annotation_warnings.hpp"

#include "codes/ncbi_tables.hpp"

namespace trelba {
namespace {

std::string Counted(std::uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + (n == 1 ? one : many);
}

}  // namespace

bool ReadsAlike(const GeneticCode& code, int table) {
  const GeneticCode* const other = NcbiGeneticCode(table);
  if (other == nullptr) return false;
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& a = code.families[f];
    const Family& b = other->families[f];
    if (a.size != b.size || a.members != b.members) return false;
  }
  return code.stop == other->stop;
}

std::vector<std::string> AnnotationWarnings(const std::string& name, TextFormat format,
                                            const AnnotationTally& tally, const GeneticCode& code,
                                            bool gff_without_fasta) {
  std::vector<std::string> lines;
  const std::string prefix = name + ": ";
  const bool gff = format == TextFormat::kGff3 || format == TextFormat::kFasta;
  if (gff_without_fasta) {
    lines.push_back(prefix +
                    "a GFF3 file without its genome (no ##FASTA part): nothing is reported; give "
                    "the genome's FASTA file as the input and this file with --gff");
    return lines;
  }
  if (tally.coding == 0 && tally.records == 0) {
    lines.push_back(prefix + "no " + std::string(gff ? "sequence" : "record") +
                    " was found: nothing is reported");
  } else if (tally.coding == 0) {
    lines.push_back(
        prefix + "no CDS feature was found in " +
        Counted(tally.records, gff ? " sequence" : " record", gff ? " sequences" : " records") +
        ": nothing is reported");
  }
  const auto left_out = [&](const Tallied& t, const char* why) {
    if (t.count == 0) return;
    lines.push_back(prefix + Counted(t.count, " CDS feature ", " CDS features ") + why +
                    " (the first: line " + std::to_string(t.first_line) + ")");
  };
  left_out(tally.pseudo,
           gff ? "marked pseudo=true left out" : "marked /pseudo or /pseudogene left out");
  left_out(tally.other_record, "lying partly in another record left out");
  left_out(tally.unreadable, "with a location that cannot be read left out");
  left_out(tally.out_of_range, "reaching past the end of their sequence left out");
  left_out(tally.without_sequence,
           gff ? "on sequences the genome lacks left out" : "in records without sequence left out");
  left_out(tally.protein_records, "in records of amino acids left out");
  if (tally.long_lines.count != 0) {
    lines.push_back(prefix + Counted(tally.long_lines.count, " line is", " lines are") +
                    " longer than 1 MiB and cut there");
  }
  for (std::size_t table = 1; table <= kCountedTables; ++table) {
    const std::uint64_t n = tally.tables[table];
    if (n == 0 || (table < kCountedTables && ReadsAlike(code, static_cast<int>(table)))) continue;
    const std::string number = table < kCountedTables ? std::to_string(table) : "above 39";
    lines.push_back(prefix + Counted(n, " CDS gives", " CDS give") + " translation table " +
                    number + ", which reads codons otherwise than the code of this run" +
                    (table < kCountedTables ? "; give --gcode " + number : std::string()));
  }
  return lines;
}

}  // namespace trelba
