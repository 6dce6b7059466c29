#include "driver/warning_kinds.hpp"

namespace trelba {
namespace {

constexpr WarningKind kKinds[] = {
    {"not sequence data",
     "no FASTA header, GenBank, EMBL or GFF3 record: the input is empty, binary, FASTQ or other "
     "text (the summary's status says which); nothing is reported, and with --strict it is an "
     "error"},
    {"no CDS feature was found", "a GenBank, EMBL or GFF3 input without a CDS to cut"},
    {"a GFF3 file without its genome",
     "a GFF3 input without a ##FASTA part: give the genome's FASTA as the input and the GFF3 "
     "file with --gff"},
    {"CDS features ... left out",
     "CDS features that are pseudogenes, lie partly in another record, reach past their "
     "sequence, lie on a sequence the genome lacks, or whose location cannot be read"},
    {"translation table",
     "CDS whose /transl_table (transl_table=) reads codons otherwise than the run's code: give "
     "--gcode with that table"},
    {"marked as RNA in the header",
     "tRNA, rRNA, tmRNA or ncRNA as NCBI, Prokka and Bakta mark them, analysed as genes: "
     "--cds-only leaves them out"},
    {"marked as a pseudogene in the header",
     "[pseudo=true] records, analysed as genes: --cds-only leaves them out"},
    {"sequences left out", "what --cds-only and --min-codons left out, by reason"},
    {"letters U or u", "RNA spelling: triples holding U are not counted; convert U to T first"},
    {"triples were not codons",
     "most triples hold letters other than T, C, A and G: a protein file?"},
    {"longer than any gene",
     "a sequence of 10 million letters or more: a whole genome is scored as one gene; give its "
     "annotation with --gff, or its GenBank file"},
    {"lines start with ';'",
     "comment lines of old FASTA files, read as sequence letters; the first one's line is "
     "named"},
    {"'>' inside a line", "each such '>' starts a new sequence; the first one's line is named"},
    {"bytes are NUL", "UTF-16 or UTF-32 text past the start of the input, read as bytes"},
    {"identifiers longer than",
     "identifiers past the table's limit are cut there in the table; the first one's line is "
     "named"},
    {"stop codons before the last codon",
     "sequences with internal stops: not coding sequences in this frame, or a wrong genetic "
     "code; --cds-only leaves them out"},
    {"not a multiple of 3",
     "sequences with letters after their last whole codon; --cds-only leaves them out"},
    {"genetic code argument is not one of 0 to 7",
     "a second operand that selects no variant: the standard code is used, as for 0"},
    {"arguments after the genetic code are not read",
     "operands after a genetic code operand are ignored"},
    {"is read as a file",
     "a second operand that is a variant number but also names a file is read as a file; give "
     "--variant N for the variant"},
    {"the background has no codon of",
     "families the background file (or input) lacks are drawn evenly in the expected score"},
    {"the reference set has no codon of",
     "amino acids of two or more codons that the reference file lacks are left out of CAI; "
     "adaptation takes even use for them (each codon's count 0.5)"},
    {"no reference set was found",
     "--reference auto: no sequence has 80 codons of amino acids with a choice; the columns "
     "against a reference are NA"},
    {"ended in a cycle of sets",
     "--reference auto: the search from one start came back to a set before its last one; "
     "its last set is taken"},
    {"did not settle in",
     "--reference auto: the search from one start still changed its set after 50 rounds; "
     "its last set is taken"},
    {"the reference found from two starts differs",
     "--reference auto: the sets found from the two starts share fewer than half their "
     "genes; check the genes marked in the table's in_reference column"},
    {"no stronger than those found in the input's codons drawn at random",
     "--reference auto: the set found is not 3 standard deviations stronger than the sets "
     "found in copies of the input with its codons drawn at random (the summary's chance_z): "
     "the genome may show little selection on codons, and the columns against the set little "
     "of expression"},
    {"no stronger than its own codons drawn at random",
     "--reference auto: the genes of the translation machinery, named by the headers or found by "
     "homology, are not 3 "
     "standard deviations stronger than their own codons drawn at random within each amino "
     "acid (the summary's chance_z): the genome may show little selection on codons"},
    {"the tail of GC3s",
     "--reference auto: no more than 5 % of the genes have a GC3s as high as the set's (the "
     "summary's gc3s_above): in a genome of skewed GC3 and weak selection the set may be the "
     "GC3-richest genes rather than the most highly expressed"},
};

}  // namespace

std::span<const WarningKind> WarningKinds() {
  return kKinds;
}

}  // namespace trelba
