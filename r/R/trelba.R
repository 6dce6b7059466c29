# The table of results of Trelba as a data frame, made by the program's own code (the
# library compiled into this package): the same values as `Trelba -T` writes. The
# tool's warnings become R warnings (class trelba_warning), its errors R errors (class
# trelba_error; trelba_file_error for a file that cannot be opened).

# The library's options, by the names of the arguments that give them.
.arguments <- c("--variant" = "code", "--gcode" = "gcode", "--background" = "background",
                "--threads" = "threads", "--reference" = "reference", "--coa" = "coa",
                "--gff" = "gff", "--trna" = "trna", "--optimal-codons" = "optimal_codons",
                "--min-codons" = "min_codons")

.condition <- function(message, classes) {
  structure(class = c(classes, "condition"), list(message = message, call = NULL))
}

# Signals the library's error as an R error of class `kind` (and trelba_error).
.fail <- function(message, kind = NULL) {
  condition <- .condition(message, c(kind, "trelba_error", "error"))
  stop(condition)
}

# The library's error as an R error: a file that cannot be opened as file() says it,
# an argument's value naming the argument, the rest in the command line's words.
.stop <- function(error) {
  message <- error$message
  if (nzchar(error$option)) {
    for (option in names(.arguments)) {
      message <- gsub(option, .arguments[[option]], message, fixed = TRUE)
    }
    argument <- if (error$option %in% names(.arguments)) .arguments[[error$option]] else
      sub("^--", "", error$option)
    if (!grepl(argument, message, fixed = TRUE)) {
      message <- paste0(argument, ": ", message)
    }
    .fail(message, "trelba_argument_error")
  }
  if (isTRUE(error$memory)) .fail(message, "trelba_memory_error")
  if (nzchar(error$cause)) {
    .fail(sprintf("cannot open file '%s': %s", error$file, error$cause), "trelba_file_error")
  }
  .fail(message)
}

.argument_error <- function(message) {
  .fail(message, "trelba_argument_error")
}

.setting <- function(value, name) {
  if (is.null(value)) return(NULL)
  if (length(value) != 1L || is.na(value)) {
    .argument_error(sprintf("%s must be a single value, not %s", name, deparse(value)))
  }
  as.character(value)
}

# A file's name: "-" is no file here (it would read the R session's own standard input).
.no_standard_input <- function(names, argument) {
  if (any(names == "-")) {
    .argument_error(sprintf("%s: '-' is no file here; a file named '-' is './-'", argument))
  }
  names
}

# A whole number as the library reads it (1e5 as 100000, not "1e+05").
.whole <- function(value, name) {
  if (is.numeric(value) && length(value) == 1L && isTRUE(value == round(value))) {
    value <- sprintf("%.0f", value)
  }
  .setting(value, name)
}

# A file's name, "~" expanded; "-" refused.
.file <- function(value, name) {
  value <- .setting(value, name)
  if (is.null(value)) return(NULL)
  .no_standard_input(path.expand(value), name)
}

.settings <- function(code, gcode, background, reference, threads, counts, description,
                      coa = NULL, gff = NULL, trna = NULL, optimal_codons = NULL,
                      cds_only = FALSE, min_codons = NULL, skip_first_codon = FALSE) {
  list(variant = .setting(code, "code"), gcode = .setting(gcode, "gcode"),
       background = .no_standard_input(.setting(background, "background"), "background"),
       reference = .no_standard_input(.setting(reference, "reference"), "reference"),
       threads = .setting(threads, "threads"),
       counts = isTRUE(counts), description = isTRUE(description),
       coa = .setting(coa, "coa"), gff = .file(gff, "gff"), trna = .file(trna, "trna"),
       optimal_codons = .file(optimal_codons, "optimal_codons"),
       cds_only = isTRUE(cds_only), min_codons = .whole(min_codons, "min_codons"),
       skip_first_codon = isTRUE(skip_first_codon))
}

.files <- function(files) {
  if (!is.character(files) || !length(files) || anyNA(files)) {
    .argument_error("files must be file names (a character vector)")
  }
  .no_standard_input(path.expand(files), "files")
}

# The data frame of the library's result, after its warnings; or its error.
.frame <- function(result) {
  for (line in result$warnings) {
    condition <- .condition(line, c("trelba_warning", "warning"))
    warning(condition)
  }
  if (!is.null(result$error)) .stop(result$error)
  columns <- result$columns
  rows <- if (length(columns)) length(columns[[1L]]) else 0L
  structure(columns, class = "data.frame", row.names = .set_row_names(rows))
}

# The table `Trelba -T` writes for FASTA files, as a data frame.
trelba_table <- function(files, code = NULL, gcode = NULL, background = NULL,
                         reference = NULL, threads = NULL, counts = FALSE,
                         description = FALSE, coa = NULL, gff = NULL, trna = NULL,
                         optimal_codons = NULL, cds_only = FALSE, min_codons = NULL,
                         skip_first_codon = FALSE) {
  files <- .files(files)
  settings <- .settings(code, gcode, background, reference, threads, counts, description,
                        coa, gff, trna, optimal_codons, cds_only, min_codons, skip_first_codon)
  .frame(.Call(trelba_table_c, files, settings, 0L))
}

# A function giving one of the run's outputs of files (1: the summary, 2: the codon usage),
# whose arguments are the table's but the table's column groups.
.output_of_files <- function(output) {
  function(files, code = NULL, gcode = NULL, background = NULL, reference = NULL,
           threads = NULL, coa = NULL, gff = NULL, trna = NULL, optimal_codons = NULL,
           cds_only = FALSE, min_codons = NULL, skip_first_codon = FALSE) {
    files <- .files(files)
    settings <- .settings(code, gcode, background, reference, threads, FALSE, FALSE, coa, gff,
                          trna, optimal_codons, cds_only, min_codons, skip_first_codon)
    .frame(.Call(trelba_table_c, files, settings, output))
  }
}

# The summary `Trelba --summary` writes, a row for each file.
trelba_summary <- .output_of_files(1L)

# The codon usage `Trelba --codon-usage` writes, a row for each codon of each file.
trelba_codon_usage <- .output_of_files(2L)

# The table of sequences in memory: a DNAStringSet or a named character vector.
trelba_analyse <- function(x, code = NULL, gcode = NULL, background = NULL,
                           reference = NULL, threads = NULL, counts = FALSE,
                           description = FALSE, coa = NULL, trna = NULL,
                           optimal_codons = NULL, cds_only = FALSE, min_codons = NULL,
                           skip_first_codon = FALSE) {
  if (!(inherits(x, "DNAStringSet") || is.character(x))) {
    .argument_error(sprintf(
      "trelba_analyse takes a DNAStringSet or a named character vector, not %s", class(x)[1L]))
  }
  sequences <- as.character(x)
  ids <- names(x)
  if (is.null(ids)) ids <- as.character(seq_along(sequences))
  bad <- grepl("[\r\n]", ids) | grepl(">", sequences, fixed = TRUE) | is.na(sequences)
  if (any(bad)) {
    .argument_error(sprintf("x: sequence %d holds a line break in its name, '>' or NA",
                            which(bad)[1L]))
  }
  settings <- .settings(code, gcode, background, reference, threads, counts, description,
                        coa, NULL, trna, optimal_codons, cds_only, min_codons, skip_first_codon)
  # No sequence is no FASTA record (paste0 would make one of empty vectors).
  fasta <- if (length(sequences)) paste0(">", ids, "\n", sequences, "\n", collapse = "") else ""
  .frame(.Call(trelba_text_c, enc2utf8(fasta), "sequences", settings))
}
