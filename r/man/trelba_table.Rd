\name{trelba_table}
\alias{trelba_table}
\title{The Table of Results of FASTA Files}
\description{
The table \command{Trelba -T} writes for one FASTA file or several (plain, gzip, xz,
bzip2 or zstd), as a data frame, made by the program's own code: one row per
sequence, the same values.
}
\usage{
trelba_table(files, code = NULL, gcode = NULL, background = NULL,
             reference = NULL, threads = NULL, counts = FALSE,
             description = FALSE, coa = NULL, gff = NULL, trna = NULL,
             optimal_codons = NULL, cds_only = FALSE, min_codons = NULL,
             skip_first_codon = FALSE)
}
\arguments{
  \item{files}{file names (a character vector); several give a first column
    \code{file}.}
  \item{code}{a variant, 0 to 7 (the program's \option{--variant}).}
  \item{gcode}{an NCBI translation table number (\option{--gcode}).}
  \item{background}{\code{"even"} (the default), \code{"input"} (each file's own
    codons) or the name of a FASTA file whose pooled codons the expected score
    draws from.}
  \item{reference}{\code{"auto"} (a set of highly expressed genes found in each file) or a
    FASTA file of highly expressed genes: adds the columns \code{cai}, \code{fop},
    \code{adaptation}, \code{adaptation_z} and \code{in_reference}; \code{NULL}: none.}
  \item{threads}{the threads that analyse, 1 to 256 (default: one per core).}
  \item{counts}{add the 64 codon counts \code{TTT} \dots \code{GGG}.}
  \item{description}{add the rest of each header line.}
  \item{coa}{\code{"codons"}, \code{"rscu"} or \code{"aa"}: a correspondence
    analysis of each file's genes, of their codon counts, RSCU or amino-acid counts
    (\option{--coa}), adding \code{coa1} \dots \code{coa4}, each gene's coordinates on
    the first four axes; \code{NULL}: none.}
  \item{gff}{a GFF3 file that annotates each file, a genome FASTA: its CDS are the
    sequences (\option{--gff}).}
  \item{trna}{tRNAscan-SE's or ARAGORN's output for the genome: adds the tRNA
    adaptation index \code{tai} (\option{--trna}).}
  \item{optimal_codons}{Fop's optimal codons: codonW's fop_file or a list of codons
    (\option{--optimal-codons}); needs \code{reference}.}
  \item{cds_only}{leave out sequences that are no whole coding sequence: marked as RNA
    or pseudogenes, with stops inside, or of a length off the frame
    (\option{--cds-only}).}
  \item{min_codons}{leave out sequences of fewer codons (\option{--min-codons}).}
  \item{skip_first_codon}{leave each sequence's first codon out of ENC, GC3s, CAI, Fop
    and adaptation (\option{--skip-first-codon}).}
}
\value{
A data frame, one row per sequence, its columns in this order, \code{NA} where the
table has \code{NA}:
% generated from the code: table columns (to change it, edit the code and run cmake --build build --target update-docs)
\describe{
  \item{\code{file}}{character: the input as it was given (standard input: -, or -{}-label); only with several files.}
  \item{\code{seq}}{integer (double beyond 32 bits): the sequence's number in the input, as in the count report's sequence# labels.}
  \item{\code{id}}{character: the header's first word: the text after > up to the first blank.}
  \item{\code{codons}}{integer (double beyond 32 bits): codons counted: whole triples of T, C, A and G.}
  \item{\code{score}}{double: the order values of the sequence's families weighted by their shares of its codons, as in the score report (listed here whatever its sign); NA when no codon falls in a family of two or more codons.}
  \item{\code{Phe ... Gly}}{double: each family's order value 1 - H / ln k, as in the family order report: 0 when its codons are used evenly, 1 when one codon only is used; NA when no codon of the family was counted, or the family has one codon under the code.}
  \item{\code{expected}}{double: the exact mean score of a sequence with the same amino acids whose codons are drawn from the background (-{}-background); NA when the score is NA.}
  \item{\code{excess}}{double: score - expected: how much more unevenly the sequence uses its codons than chance would, comparable across lengths; NA when the score is NA.}
  \item{\code{gc}}{double: the share of G and C among the counted codons' bases; NA when no codon was counted.}
  \item{\code{gc3}}{double: the share of G and C at the counted codons' third positions; NA when no codon was counted.}
  \item{\code{internal_stops}}{integer (double beyond 32 bits): stop codons before the last codon.}
  \item{\code{partial}}{integer (double beyond 32 bits): letters after the last whole triple (0, 1 or 2).}
  \item{\code{TTT ... GGG}}{integer (double beyond 32 bits): the 64 codon counts, as in the count report; only with counts = TRUE.}
  \item{\code{description}}{character: the rest of the header after its first word; only with description = TRUE.}
  \item{\code{enc}}{double: the effective number of codons (Wright 1990): from 20 when each amino acid uses one codon to the number of sense codons (61 in the standard code) when all are used evenly; NA when a class of amino acids of the same number of codons has none used twice or more (the three-codon class takes the mean of the two- and four-codon classes).}
  \item{\code{gc3s}}{double: the share of G and C at the third positions of codons of amino acids with two or more codons, stops left out; NA when there is no such codon.}
  \item{\code{excess_z}}{double: how far the excess is from chance: the excess over the standard deviation of the score of a sequence of the same amino acids whose codons are drawn from the background (exact); for flagging a gene, not for ranking: it grows almost in proportion to length (in E. coli a median of 1.3 at 100 codons or fewer, 31.9 beyond 800); the score's distribution is skewed, its upper tail a little heavier (excess_p, with a reference, is its p-value); NA when the excess is NA, or the score cannot vary (no family with a choice).}
  \item{\code{tai}}{double: the tRNA adaptation index (dos Reis et al. 2004): the geometric mean of the weights of the sequence's codons, each from the genes of the tRNAs that read it (-{}-trna); only with trna; NA when no codon but stops and Met.}
  \item{\code{cai}}{double: the codon adaptation index (Sharp & Li 1987) against the reference set: the geometric mean of the relative adaptiveness w of the sequence's codons; only with a reference; NA when no codon of an amino acid the reference holds (of two or more codons).}
  \item{\code{fop}}{double: the frequency of optimal codons (Ikemura 1981): the sequence's optimal codons over its codons of the amino acids that have one; only with a reference; NA when no codon of an amino acid that has an optimal codon.}
  \item{\code{adaptation}}{double: the log-odds per codon of the sequence's codons under the reference's usage against the input's: above 0 for a gene that prefers the reference's codons; the column to rank by; only with a reference; NA when no codon of an amino acid of two or more codons.}
  \item{\code{adaptation_z}}{double: how far adaptation is from chance, in standard deviations: each codon drawn from the input's usage of its amino acid; only with a reference; NA when the null variance is 0: no amino acid with a choice, or in each of the sequence's the same log-odds for every codon the input holds (the sequence its own reference, say).}
  \item{\code{in_reference}}{integer (double beyond 32 bits): 1 for the genes of the reference set: found in the input (-{}-reference auto), or the same in sequence as a gene of the reference file; else 0 (0 or 1); only with a reference.}
  \item{\code{excess_p}}{double: the one-sided p-value of the excess: for a short sequence the saddlepoint approximation of the share at or above the score of the score's exact distribution when its codons are drawn from the background, its amino acids kept; for a longer one the share at or above the score of a beta distribution between 0 and the highest score the sequence's amino acids allow, with the score's exact mean and variance under the background (those of expected and excess_z); below 0.05 for about 5 \% of genes whose codons are drawn from the background, at every length; only with a reference; NA when the excess is NA, or the score cannot vary.}
  \item{\code{adaptation_p}}{double: the one-sided p-value of adaptation: the chance that a gene of the same amino acids, each codon drawn from the input's usage of its amino acid, scores as high or higher (a saddlepoint approximation of the exact null); below 0.05 for about 5 \% of such genes, at every length; only with a reference; NA when the null variance is 0 (no amino acid with a choice).}
  \item{\code{coa1 ... coa4}}{double: the gene's coordinates on the first four axes of the input's correspondence analysis (-{}-coa): its row profile times the columns' standard coordinates, as codonW's genes.coa; the genes of lower ENC lie on each axis's positive side; only with coa; NA when the gene has no codon in the analysis, or the input's analysis has no such axis.}
}
% end of table columns
}
\section{Warnings and errors}{
Each warning line of the program is an R warning of class \code{trelba_warning}
naming the file. A file that cannot be opened is an error of class
\code{trelba_file_error} (\code{"cannot open file 'x': No such file or
directory"}), a bad argument value one of class \code{trelba_argument_error}
naming the argument (\code{"-"} among them: it is no file here, and a file named
\code{-} is \code{./-}), memory running out one of class
\code{trelba_memory_error}, any other failure one of class \code{trelba_error} in
the program's words.
}
\seealso{\code{\link{trelba_analyse}} for sequences in memory,
\code{\link{trelba_summary}} for a row per file and the codon usage.}
\examples{
fasta <- system.file("extdata", "Ecoli_HighlyExpressedGenes.fa", package = "trelba")
genes <- trelba_table(fasta, gcode = 11, reference = "auto", threads = 1)
head(genes[order(-genes$adaptation), c("id", "codons", "excess", "cai", "adaptation")])
}
