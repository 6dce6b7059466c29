# Bioconductor's BiocCheck on the R package's source tarball, offline and without a second
# compile: BiocCheck's own installation step is replaced by a link to the package that
# R CMD check installed already, and the checks that ask bioconductor.org or CRAN (the
# release's version number, deprecated packages, the support site, a name taken on CRAN)
# are left out. Fails on an error or a warning; notes are printed.
#   usage: Rscript scripts/bioccheck.R trelba_VERSION.tar.gz trelba.Rcheck/trelba
args <- commandArgs(trailingOnly = TRUE)
stopifnot(length(args) == 2L, file.exists(args[[1L]]), dir.exists(args[[2L]]))
installed <- normalizePath(args[[2L]])
namespace <- asNamespace("BiocCheck")
unlockBinding("installAndLoad", namespace)
assign("installAndLoad", function(pkgpath, install_dir = tempfile()) {
  dir.create(file.path(install_dir, "lib"), recursive = TRUE)
  file.symlink(installed, file.path(install_dir, "lib", basename(installed)))
  install_dir
}, envir = namespace)
# Its log is left beside the tarball, in trelba.BiocCheck/.
result <- BiocCheck::BiocCheck(args[[1L]], `no-check-version-num` = TRUE,
                               `no-check-deprecated` = TRUE, `no-check-bioc-help` = TRUE,
                               `no-check-CRAN` = TRUE)
if (result$getNum("error") > 0L || result$getNum("warning") > 0L) quit(status = 1L)
