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
             description = FALSE)
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
}
\value{
A data frame: \code{file}, \code{id} and \code{description} character;
\code{seq}, \code{codons}, \code{internal_stops}, \code{partial} and the counts
integer; \code{score}, the order value of each family (\code{Phe} \dots
\code{Gly}), \code{expected}, \code{excess}, \code{gc} and \code{gc3} double,
\code{NA} where the table has \code{NA}.
}
\section{Warnings and errors}{
Each warning line of the program is an R warning of class \code{trelba_warning}
naming the file. A file that cannot be opened is an error of class
\code{trelba_file_error} (\code{"cannot open file 'x': No such file or
directory"}), a bad argument value one of class \code{trelba_argument_error}
naming the argument, any other failure one of class \code{trelba_error} in the
program's words.
}
\seealso{\code{\link{trelba_analyse}} for sequences in memory.}
