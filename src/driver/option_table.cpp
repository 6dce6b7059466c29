#include "driver/option_table.hpp"

#include "driver/options.hpp"

namespace trelba {
namespace {

constexpr OptionSpec kOptions[] = {
    {'T', "--table", "FILE", "a file name",
     "also write a table of results, one row per sequence, tab-separated (\"-\" = standard "
     "output; .gz, .zst, .xz, .bz2: compressed so)",
     "Its columns are listed under TABLE. A name ending in .gz, .bgz, .zst, .xz or .bz2 is "
     "written so compressed (gzip as BGZF, which tabix indexes).",
     &Options::table, nullptr, true},
    {0, "--summary", "FILE", "a file name",
     "also write one row per input (\"-\" = standard output)",
     "Its columns are listed under SUMMARY. A name ending in .gz, .bgz, .zst, .xz or .bz2 is "
     "written so compressed.",
     &Options::summary, nullptr, true},
    {0, "--report", "FILE", "a file name", "also write an HTML page of plots of every input",
     "One self-contained page (inline SVG: no script, nothing fetched). It opens with a table "
     "of the inputs and their figures together: from 2 to 8 inputs ENC against GC3s, the "
     "neutrality and the PR2 plot with the inputs overlaid; from 3 each input's median ENC "
     "against its GC3s; the RSCU heat map, the reference set beside its genome. Up to 8 "
     "inputs each have a section: ENC against GC3s with Wright's curve and the reference "
     "set's genes ringed, the ENC ratio's histogram, the neutrality plot (slope and r), the "
     "PR2 plot, excess against codons, with a reference adaptation against excess, each "
     "family's order values; each dot a gene named on hover, beside "
     "each scatter plot a table of the top genes by adaptation (with a reference) or excess. "
     "Up to 40,000 sequences of an input are plotted, beyond that every s-th one (s a power "
     "of two); the histograms, the neutrality line and the top genes by excess count every "
     "sequence.",
     &Options::report, nullptr, true},
    {0, "--figures", "DIR", "a folder",
     "also write each figure of the page as an SVG file in DIR, named INPUT.FIGURE.svg (and "
     "inputs.FIGURE.svg)",
     "Each file a standalone SVG document, 85 mm wide (a journal's single column; the heat "
     "map up to two), its text in Arial, Helvetica, Liberation Sans or DejaVu Sans at 7 to 8 "
     "pt. An input's figures are put in place with its reports, those of the inputs together "
     "with the table; a figure named as an input or another output is refused before "
     "anything is read.",
     &Options::figures, nullptr, true},
    {'o', "--output", "PREFIX", "a prefix",
     "write the reports as PREFIX.freq, .iik and .ok instead of beside the input; -o DIR/ (or "
     "a folder): in that folder",
     "With a folder (a name ending in /, or one that exists) each input's reports go into it, "
     "named after the input; standard input's after --label.",
     &Options::output, nullptr, true},
    {0, "--no-reports", "", "", "write none of the three reports",
     "For a run that only wants the table or the summary.", nullptr, &Options::no_reports},
    {0, "--variant", "N", "a variant number (0 to 7)",
     "take the families from variant N (0-7, below)",
     "As a second operand does; see GENETIC CODES.", &Options::variant},
    {0, "--gcode", "N", "an NCBI translation table number",
     "take the families from NCBI translation table N (1-6, 9-16, 21-33) instead of a variant",
     "Every codon the table translates to an amino acid joins that amino acid's family, the "
     "stops form family 5, k is the family's size and every codon enters with -p ln p. For "
     "mitochondrial and other non-standard genomes this is the principled choice. Where NCBI "
     "marks a codon as both stop and amino acid (tables 27, 28, 31) it joins its amino acid's "
     "family. --gcode 1 gives the same reports as variant 0.",
     &Options::ncbi_table},
    {0, "--background", "B", "even, input or a file name",
     "what the expected score draws codons from: even (default), input (each input's own "
     "codons) or a FASTA file's codons",
     "even: q = 1/k in every family; input: the pooled codons of each input, read once more "
     "first (so the input must be a regular file); a FASTA file (\"-\": standard input): its "
     "pooled codons (a file in which no codon is counted is an error). The table's expected is the "
     "exact mean score of a gene with the same "
     "family counts whose codons are drawn from the background, and excess the score less it: "
     "unlike the score, the excess does not fall with length.",
     &Options::background},
    {0, "--reference", "FILE", "a FASTA file of highly expressed genes, or auto",
     "add CAI, Fop and adaptation against FILE, a set of highly expressed genes (auto: found "
     "in each input)",
     "FILE (plain or compressed, \"-\": standard input) holds the reference set, for example "
     "the genome's ribosomal-protein genes; its pooled codons give one table for every input: "
     "each codon's relative adaptiveness w (CAI), the optimal codons (Fop: those the reference "
     "uses significantly more than the other genes of its genome, the input that holds its "
     "genes) and its usage, against which adaptation takes each input's own. With several "
     "inputs they are read once more first, to find that genome; an input's genes identical "
     "to the reference's are marked in_reference. FILE may also be a table of w: a codon "
     "usage table that --codon-usage wrote (its w and optimal columns) or codonW's cai_file "
     "(64 values). With auto, each input's own set is found, and its optimal codons against "
     "the input's other genes. An amino acid the reference lacks is left out of CAI and taken "
     "as even use by adaptation, with a warning. A reference in which no codon is counted is "
     "an error. Its columns are listed under TABLE and SUMMARY.",
     &Options::reference},
    {0, "--optimal-codons", "FILE", "a file of optimal codons",
     "Fop's optimal codons from FILE instead of the reference's: codonW's fop_file or a list of "
     "codons",
     "codonW's fop_file gives 64 values in its codon order, 3 for an optimal codon, 2 and 1 "
     "for the others, 0 for one Fop leaves out; a list names the optimal codons (T or U), "
     "separated by blanks, commas or line ends. Fop counts the amino acids that have an "
     "optimal codon. Needs --reference.",
     &Options::optimal_codons},
    {0, "--trna", "FILE", "tRNAscan-SE's or ARAGORN's output",
     "add the tai column: the tRNA adaptation index from the tRNA genes in FILE",
     "FILE is tRNAscan-SE's tabular output or ARAGORN's (its default or -w output) for the "
     "genome; each codon's weight comes from the genes of the tRNAs that read it, with dos Reis "
     "et al.'s wobble penalties (s = 0.41 for G:U, 0.28 for I:C, 0.9999 for I:A, 0.68 for U:G; "
     "an A at the anticodon's first base taken as inosine), and under NCBI tables 4, 11 and 25 "
     "(bacteria, archaea) AUA read by the modified CAU tRNA (s = 0.89). Stops and Met are left "
     "out; a codon no tRNA reads takes the geometric mean of the others' weights. Every input "
     "is scored against the same tRNA genes.",
     &Options::trna},
    {0, "--codon-usage", "FILE", "a file name",
     "also write each input's codon usage, one row per codon (\"-\" = standard output; .gz, "
     ".zst, .xz, .bz2: compressed so)",
     "Columns: file, codon, amino_acid, count, per_thousand, rscu (the count times the amino "
     "acid's number of codons over its count: 1 for even use), and with --reference also w "
     "and optimal, the reference's table, the same in every input's rows; the reference's own "
     "rows come first, named as its file. A name ending in .cut (or .cut.gz) writes instead "
     "EMBOSS's codon usage format, as cusp writes it, of every input's codons together.",
     &Options::codon_usage, nullptr, true},
    {0, "--coa", "KIND", "codons, rscu or aa",
     "a correspondence analysis of each input's genes, of their codon counts (codons), RSCU "
     "(rscu) or amino-acid counts (aa), as codonW's -coa_cu, -coa_rscu, -coa_aa",
     "The genes-by-columns table of the input: the codons of amino acids with two or more "
     "codons (codons, rscu; RSCU of an amino acid a gene lacks is 0) or the amino acids (aa), "
     "stops left out. The table gains coa1 ... coa4, each gene's coordinates on the first "
     "four axes; the summary coa_inertia1 ... 4, each axis's share of the total inertia; the "
     "codon usage each codon's (or its amino acid's) coordinates. With three or more inputs, "
     "one more analysis of the inputs themselves, each input's pooled counts a row, gives the "
     "summary's inputs_coa1 ... 4. Each axis is turned so that the genes of lower ENC (the "
     "more biased) lie on its positive side. The input is read once; its genes' counts are "
     "kept in a temporary file, never as a table in memory.",
     &Options::coa},
    {0, "--gff", "FILE", "a GFF3 file",
     "read each input as the genome FASTA that FILE annotates: its CDS are the sequences",
     "The CDS lines of one parent (else of one ID) make one sequence, cut from the FASTA "
     "record that the first column names: their stretches in the order of the strand, the "
     "phase of the first saying where its first codon begins. A GFF3 file that carries its "
     "genome after ##FASTA, and GenBank and EMBL files, are read as inputs alone.",
     &Options::gff},
    {0, "--cds-only", "", "",
     "leave out sequences that are no whole coding sequence: marked as RNA or pseudogenes, with "
     "stops inside, or of a length off the frame",
     "A header marks RNA as NCBI ([gbkey=tRNA], rRNA, tmRNA, ncRNA), Prokka and Bakta (a "
     "product alone: tRNA-Leu(caa), 16S ribosomal RNA, transfer-messenger RNA) write it, and "
     "pseudogenes as NCBI does ([pseudo=true]). A sequence left out has no report block, no "
     "table row and no part in the totals; the warnings count them by reason.",
     nullptr, &Options::cds_only},
    {0, "--min-codons", "N", "a number of codons", "leave out sequences of fewer than N codons",
     "Codons are the whole triples of T, C, A and G. Left out as --cds-only leaves out.",
     &Options::min_codons},
    {0, "--skip-first-codon", "", "",
     "leave each sequence's first codon out of ENC, GC3s, CAI, Fop, adaptation and the "
     "--columns groups but dinucleotides",
     "An initiator GTG or TTG is read as Met by the ribosome, not as Val or Leu. The reports, "
     "the counts and the codon usage keep it.",
     nullptr, &Options::skip_first_codon},
    {0, "--file-column", "", "",
     "begin the table with the input's name (always so with several "
     "inputs)",
     "", nullptr, &Options::file_column},
    {0, "--counts", "", "", "add the 64 codon counts to the table", "TTT to GGG.", nullptr,
     &Options::counts},
    {0, "--description", "", "", "add the rest of each header to the table", "", nullptr,
     &Options::description},
    {0, "--columns", "GROUPS", "groups of columns",
     "add groups of columns to the table: composition, dinucleotides, rscu, aa (and counts, "
     "description), comma-separated",
     "composition: G+C at first, second, and first and second positions, each base's share of "
     "synonymous third positions, the synonymous codons and the codons of amino acids, the "
     "protein's hydropathy (GRAVY) and aromaticity, ENC's shortfall from Wright's curve, and "
     "with --reference the codon bias index. dinucleotides: CpG and TpA observed over "
     "expected, over the whole sequence and at codon positions 1-2, 2-3 and 3-1. rscu: each "
     "codon's relative synonymous codon usage in the gene. aa: each amino acid's share of the "
     "gene's codons of amino acids. counts is --counts, description --description. The start "
     "codon counts as its amino acid, as in codonW (--skip-first-codon leaves it out of all "
     "but dinucleotides). The columns are listed under TABLE.",
     &Options::columns},
    {0, "--infile-list", "F", "a file name",
     "read input names from F, one a line (\"-\" = standard input)",
     "Blank lines are skipped; the names are read before any input.", &Options::infile_list},
    {0, "--label", "NAME", "a name", "the name of standard input in the table and summary",
     "Also the name of its reports in an -o folder.", &Options::label},
    {0, "--strict", "", "", "end with status 255 after any warning",
     "For pipelines that take a warning as a failure; the reports are written all the same.",
     nullptr, &Options::strict},
    {'q', "--quiet", "", "", "print no warnings (errors are still printed)",
     "Warnings still count for --strict. Also no progress unless --progress is given.", nullptr,
     &Options::quiet},
    {0, "--progress", "", "", "show progress on standard error (default: when it is a terminal)",
     "Inputs done of all, sequences read and the speed of reading in MB of text a second, on "
     "one line redrawn at a terminal; given, one line every 10 seconds and at the end in a "
     "file or a pipe. Never in a report or on standard output.",
     nullptr, &Options::progress},
    {0, "--no-progress", "", "", "show no progress", "", nullptr, &Options::no_progress},
    {0, "--sync", "", "", "write the reports through to the disk before the run ends",
     "Each report is written to the disk before it is moved to its name, and each folder after "
     "all are moved: once the run ends with status 0 its reports survive a power loss. A kill "
     "or a power loss between the renames can still leave some reports new and others "
     "earlier; see REPORTS.",
     nullptr, &Options::sync},
    {'j', "--threads", "N", "a number of threads",
     "threads that analyse (1-256; default: one per core); every N writes the same bytes",
     "Batches of sequences are analysed on N threads and written in input order; with 1 "
     "everything runs in one thread.",
     &Options::threads},
    {'h', "--help", "", "", "this text", ""},
    {'V', "--version", "", "", "the version", ""},
    {0, "--", "", "", "ends the options (which may stand anywhere before it)", ""},
};

constexpr std::size_t kHelpWidth = 80;
constexpr std::size_t kHelpIndent = 23;  // where the help of an option starts

// "  -T, --table FILE", "      --summary FILE", "  --".
std::string Names(const OptionSpec& option) {
  std::string names = option.short_name != 0     ? std::string("  -") + option.short_name + ", "
                      : option.long_name == "--" ? std::string("  ")
                                                 : std::string(6, ' ');
  names += option.long_name;
  if (!option.argument.empty()) names.append(" ").append(option.argument);
  return names;
}

}  // namespace

std::span<const OptionSpec> OptionTable() {
  return kOptions;
}

std::string OptionsHelp() {
  std::string text;
  for (const OptionSpec& option : kOptions) {
    std::string line = Names(option);
    line.resize(std::max(line.size() + 1, kHelpIndent), ' ');
    // The help, word by word, in lines of at most kHelpWidth columns.
    std::string_view words = option.help;
    bool first = true;
    while (!words.empty()) {
      const std::size_t end = std::min(words.find(' '), words.size());
      const std::string_view word = words.substr(0, end);
      if (!first && line.size() + 1 + word.size() > kHelpWidth) {
        text += line + '\n';
        line.assign(kHelpIndent, ' ');
        first = true;
      }
      if (!first) line += ' ';
      line += word;
      first = false;
      words.remove_prefix(std::min(end + 1, words.size()));
    }
    text += line + '\n';
  }
  return text;
}

}  // namespace trelba
