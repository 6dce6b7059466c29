\name{trelba_analyse}
\alias{trelba_analyse}
\title{The Table of Results of Sequences in Memory}
\description{
The table \command{Trelba -T} writes for a FASTA file of the given sequences, as a
data frame (the columns of \code{\link{trelba_table}}).
}
\usage{
trelba_analyse(x, code = NULL, gcode = NULL, background = NULL,
               reference = NULL, threads = NULL, counts = FALSE,
               description = FALSE, coa = NULL, trna = NULL,
               optimal_codons = NULL, cds_only = FALSE, min_codons = NULL,
               skip_first_codon = FALSE)
}
\arguments{
  \item{x}{a \code{DNAStringSet} (Biostrings) or a character vector of
    sequences; its names are the header lines (the first word the \code{id}, the
    rest the \code{description}), or \code{1}, \code{2}, \dots when it has none.}
  \item{code, gcode, background, reference, threads, counts, description, coa, trna,
    optimal_codons, cds_only, min_codons, skip_first_codon}{as for
    \code{\link{trelba_table}}; \code{background = "input"} is the sequences' own
    pooled codons.}
}
\value{A data frame, as \code{\link{trelba_table}} gives.}
\section{Warnings and errors}{
As for \code{\link{trelba_table}}; warnings name the sequences \code{sequences},
their line numbers count in the FASTA text of them (two lines a sequence).
}
\examples{
sequences <- c(geneA = "ATGAAACCCGGGTTTAAACCCGGGTAA", geneB = "ATGGCTGCAGCCGCGTAA")
trelba_analyse(sequences, gcode = 11, threads = 1)
}
