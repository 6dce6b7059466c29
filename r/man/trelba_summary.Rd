\name{trelba_summary}
\alias{trelba_summary}
\alias{trelba_codon_usage}
\title{The Summary and the Codon Usage of FASTA Files}
\description{
The summary \command{Trelba --summary} writes, a row for each file, and the codon
usage \command{Trelba --codon-usage} writes, a row for each codon of each file (the
reference's rows first), as data frames made by the program's own code.
}
\usage{
trelba_summary(files, code = NULL, gcode = NULL, background = NULL,
               reference = NULL, threads = NULL, coa = NULL, gff = NULL,
               trna = NULL, optimal_codons = NULL, cds_only = FALSE,
               min_codons = NULL, skip_first_codon = FALSE)
trelba_codon_usage(files, code = NULL, gcode = NULL, background = NULL,
                   reference = NULL, threads = NULL, coa = NULL, gff = NULL,
                   trna = NULL, optimal_codons = NULL, cds_only = FALSE,
                   min_codons = NULL, skip_first_codon = FALSE)
}
\arguments{
  \item{files, code, gcode, background, reference, threads, coa, gff, trna,
    optimal_codons, cds_only, min_codons, skip_first_codon}{as for
    \code{\link{trelba_table}}.}
}
\value{
A data frame, its columns those of the program's SUMMARY and CODON USAGE (its
manual page, \command{man Trelba}): the summary's medians and totals of each file's
sequences, with \code{coa} each axis's share of the inertia \code{coa_inertia1}
\dots \code{coa_inertia4} (and with three or more files \code{inputs_coa1} \dots
\code{inputs_coa4}), with \code{cds_only}, \code{min_codons} or \code{gff} the
sequences left out; the codon usage's counts, RSCU, with a reference \code{w} and
\code{optimal}, and with \code{coa} each codon's coordinates.
}
\section{Warnings and errors}{
As for \code{\link{trelba_table}}; a file that fails is an error (where the program
writes its error row).
}
\seealso{\code{\link{trelba_table}} for a row per sequence.}
\examples{
fasta <- system.file("extdata", "Ecoli_HighlyExpressedGenes.fa", package = "trelba")
trelba_summary(fasta, gcode = 11, threads = 1)
usage <- trelba_codon_usage(fasta, gcode = 11, coa = "codons", threads = 1)
head(usage)
}
