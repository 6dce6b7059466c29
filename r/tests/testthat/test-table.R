# The package against the command line (TRELBA_BINARY names the program): the same
# table, typed; the tool's warnings and errors as R's.
binary <- Sys.getenv("TRELBA_BINARY")
real <- sort(list.files(test_path("real"), pattern = "[.](fna|ffn|nu|fa)$", full.names = TRUE))
codes <- list(list(code = 0), list(code = 2), list(gcode = 11))
text_columns <- c("file", "id", "description")
whole_columns <- c("seq", "codons", "internal_stops", "partial", "in_reference",
                   do.call(paste0, expand.grid(c("T", "C", "A", "G"), c("T", "C", "A", "G"),
                                               c("T", "C", "A", "G"))))

# Runs the program with --no-reports -T (or `output`: --summary, --codon-usage): its table
# as text (a list of character columns) and its warning lines.
command_line <- function(args, output = "-T") {
  skip_if(binary == "", "TRELBA_BINARY names no program")
  table <- tempfile(fileext = ".tsv")
  messages <- tempfile()
  status <- system2(binary, c("--no-reports", output, shQuote(table), shQuote(args)),
                    stdout = FALSE, stderr = messages)
  said <- readLines(messages)
  list(status = status,
       table = read.delim(table, quote = "\"", colClasses = "character", na.strings = character(),
                          check.names = FALSE, encoding = "UTF-8"),
       warnings = sub("^Warning: ", "", grep("^Warning: ", said, value = TRUE)))
}

code_args <- function(code) {
  if (!is.null(code$code)) c("--variant", code$code) else c("--gcode", code$gcode)
}

# The frame holds the table's values: texts as written, whole numbers as integers, the
# rest as the doubles the text names (printed back with %g, the text itself).
expect_frame_is_table <- function(frame, table) {
  expect_identical(names(frame), names(table))
  for (name in names(table)) {
    text <- table[[name]]
    got <- frame[[name]]
    if (name %in% text_columns) {
      expect_identical(got, text, label = name)
    } else if (name %in% whole_columns) {
      expect_identical(got, as.integer(text), label = name)
    } else {
      expect_type(got, "double")
      expect_identical(ifelse(is.na(got), "NA", sprintf("%g", got)), text, label = name)
    }
  }
}

frame_and_warnings <- function(call) {
  said <- character()
  frame <- withCallingHandlers(call, trelba_warning = function(w) {
    said <<- c(said, conditionMessage(w))
    invokeRestart("muffleWarning")
  })
  list(frame = frame, warnings = said)
}

test_that("the table of each real file under three codes is the command line's", {
  for (path in real) for (code in codes) {
    expected <- command_line(c(code_args(code), path))
    got <- frame_and_warnings(do.call(trelba_table, c(list(path), code)))
    expect_frame_is_table(got$frame, expected$table)
    expect_identical(got$warnings, expected$warnings)
    records <- Biostrings::readDNAStringSet(path)
    expect_identical(suppressWarnings(do.call(trelba_analyse, c(list(records), code))), got$frame)
  }
})

test_that("several files with every column and their own backgrounds", {
  expected <- command_line(c("--counts", "--description", "--background", "input", "-j", "2", real))
  frame <- suppressWarnings(trelba_table(real, counts = TRUE, description = TRUE,
                                         background = "input", threads = 2))
  expect_frame_is_table(frame, expected$table)
})

test_that("the indices against a reference set found in each file are the command line's", {
  expected <- command_line(c("--reference", "auto", real))
  frame <- suppressWarnings(trelba_table(real, reference = "auto"))
  expect_identical(tail(names(frame), 7), c("cai", "fop", "adaptation", "adaptation_z", "in_reference",
                                            "excess_p", "adaptation_p"))
  expect_frame_is_table(frame, expected$table)
})

# A genome FASTA of three of Y. pestis' genes and its GFF3: one on the plus strand, one on
# the minus strand, one in two parts.
genome <- function() {
  lines <- readLines(grep("Ypestis", real, value = TRUE))
  starts <- c(grep("^>", lines), length(lines) + 1L)
  genes <- vapply(1:3, function(i) paste(lines[(starts[i] + 1L):(starts[i + 1L] - 1L)],
                                         collapse = ""), "")
  minus <- paste(rev(strsplit(chartr("ACGT", "TGCA", genes[2]), "")[[1]]), collapse = "")
  cut <- nchar(genes[3]) %/% 6L * 3L
  pieces <- c(genes[1], minus, substr(genes[3], 1L, cut), substring(genes[3], cut + 1L))
  text <- ""
  gff <- "##gff-version 3"
  for (i in seq_along(pieces)) {
    text <- paste0(text, strrep("N", 40))
    gff <- c(gff, sprintf("chr1\ttest\tCDS\t%d\t%d\t.\t%s\t0\tID=cds%d", nchar(text) + 1L,
                          nchar(text) + nchar(pieces[i]), c("+", "-", "+", "+")[i], min(i, 3L)))
    text <- paste0(text, pieces[i])
  }
  files <- c(tempfile(fileext = ".fa"), tempfile(fileext = ".gff"))
  writeLines(c(">chr1", text), files[1])
  writeLines(gff, files[2])
  files
}

# The frame holds the output's values: texts as written, whole numbers as integers, the
# rest as the doubles the text names.
expect_frame_holds <- function(frame, table) {
  expect_identical(names(frame), names(table))
  for (name in names(table)) {
    got <- frame[[name]]
    text <- table[[name]]
    if (is.character(got)) {
      expect_identical(got, text, label = name)
    } else if (is.integer(got)) {
      expect_identical(got, suppressWarnings(as.integer(text)), label = name)
    } else {
      expect_identical(ifelse(is.na(got), "NA", sprintf("%g", got)), text, label = name)
    }
  }
}

test_that("the study's arguments give the command line's table, summary and codon usage", {
  trna <- test_path("trna", "Ecoli_K12_MG1655.aragorn_w.txt")
  heg <- system.file("extdata", "Ecoli_HighlyExpressedGenes.fa", package = "trelba")
  optimal <- tempfile(fileext = ".txt")
  writeLines(c("CTG, AAA", "GAA CGT ACC"), optimal)
  annotated <- genome()
  cases <- list(  # the files, the arguments, the command line's options
    list(real, list(coa = "codons"), c("--coa", "codons")),
    list(real, list(coa = "rscu", reference = "auto"), c("--coa", "rscu", "--reference", "auto")),
    list(real, list(coa = "aa", threads = 1), c("--coa", "aa", "-j", "1")),
    list(real, list(trna = trna, gcode = 11), c("--trna", trna, "--gcode", "11")),
    list(real, list(reference = heg, optimal_codons = optimal),
         c("--reference", heg, "--optimal-codons", optimal)),
    list(real, list(cds_only = TRUE, min_codons = 100), c("--cds-only", "--min-codons", "100")),
    list(real, list(skip_first_codon = TRUE, reference = "auto"),
         c("--skip-first-codon", "--reference", "auto")),
    list(annotated[1], list(gff = annotated[2], coa = "codons"),
         c("--gff", annotated[2], "--coa", "codons")))
  outputs <- list(list(trelba_table, "-T"), list(trelba_summary, "--summary"),
                  list(trelba_codon_usage, "--codon-usage"))
  for (case in cases) for (output in outputs) {
    expected <- command_line(c(case[[3]], case[[1]]), output[[2]])
    expect_identical(expected$status, 0L)
    got <- frame_and_warnings(do.call(output[[1]], c(list(case[[1]]), case[[2]])))
    expect_frame_holds(got$frame, expected$table)
    expect_identical(got$warnings, expected$warnings)
  }
  expect_identical(suppressWarnings(trelba_analyse(Biostrings::readDNAStringSet(real[1]),
                                                   coa = "rscu", trna = trna, cds_only = TRUE)),
                   suppressWarnings(trelba_table(real[1], coa = "rscu", trna = trna,
                                                 cds_only = TRUE)))
  bad <- list(list(list(coa = "genes"), "coa needs codons, rscu or aa, not 'genes'"),
              list(list(min_codons = -1), "min_codons needs a whole number, not '-1'"),
              list(list(optimal_codons = optimal),
                   "optimal_codons gives Fop's optimal codons: it needs reference"),
              list(list(gff = "-"), "gff: '-' is no file here; a file named '-' is './-'"))
  for (case in bad) {
    expect_error(do.call(trelba_summary, c(list(real[1]), case[[1]])), case[[2]], fixed = TRUE,
                 class = "trelba_argument_error")
  }
})

test_that("a named character vector is read as a FASTA file of it", {
  sequences <- c(a = "ATGAAACCCGGGTTTTAA", "b two" = "atgtga", NA_ = "ATGA")
  names(sequences)[3] <- "NA"
  fasta <- tempfile(fileext = ".fa")
  writeLines(paste0(">", names(sequences), "\n", sequences), fasta)
  expected <- command_line(c("--description", fasta))
  frame <- suppressWarnings(trelba_analyse(sequences, description = TRUE))
  expect_frame_is_table(frame, expected$table)
  expect_identical(suppressWarnings(trelba_analyse(unname(sequences)))$id, c("1", "2", "3"))
})

test_that("each warning line is an R warning naming the input", {
  protein <- tempfile(fileext = ".fa")
  writeLines(c(">p1", "MKVLAAGIVGLLLAQPAMAAEQWSRGHKLLDDEFFRRQ"), protein)
  expected <- command_line(protein)
  got <- frame_and_warnings(trelba_table(protein))
  expect_identical(got$warnings, expected$warnings)
  expect_match(got$warnings[1], protein, fixed = TRUE)
  expect_frame_is_table(got$frame, expected$table)
})

test_that("errors are R errors: files as file() says, arguments by their names", {
  cases <- list(
    list(list("/nonexistent/genes.fa"), "trelba_file_error",
         "cannot open file '/nonexistent/genes.fa': No such file or directory"),
    list(list("/"), "trelba_file_error", "cannot open file '/': Is a directory"),
    list(list(real[1], background = "/nonexistent/bg.fa"), "trelba_file_error",
         "cannot open file '/nonexistent/bg.fa': No such file or directory"),
    list(list(real[1], code = 9), "trelba_argument_error",
         "code needs a number from 0 to 7, not '9'"),
    list(list(real[1], gcode = 7), "trelba_argument_error",
         "gcode: NCBI defines no translation table 7 (tables: 1-6, 9-16, 21-33)"),
    list(list(real[1], code = 1, gcode = 2), "trelba_argument_error",
         "code and gcode cannot both be given"),
    list(list(real[1], threads = 0), "trelba_argument_error",
         "threads needs a whole number from 1 to 256, not '0'"),
    list(list(real[1], threads = 2.5), "trelba_argument_error",
         "threads needs a whole number from 1 to 256, not '2.5'"),
    list(list(real[1], reference = "/nonexistent/heg.fa"), "trelba_file_error",
         "cannot open file '/nonexistent/heg.fa': No such file or directory"),
    list(list(42), "trelba_argument_error", "files must be file names (a character vector)"),
    list(list(real[1], reference = ""), "trelba_argument_error", "reference"),
    list(list(real[1], reference = "-"), "trelba_argument_error",
         "reference: '-' is no file here; a file named '-' is './-'"),
    list(list(real[1], background = "-"), "trelba_argument_error",
         "background: '-' is no file here; a file named '-' is './-'"),
    list(list(c(real[1], "-")), "trelba_argument_error",
         "files: '-' is no file here; a file named '-' is './-'"))
  for (case in cases) {
    expect_error(do.call(trelba_table, case[[1]]), case[[3]], fixed = TRUE, class = case[[2]])
  }
  expect_error(trelba_analyse(42), "trelba_analyse takes a DNAStringSet or a named character vector, not numeric",
               fixed = TRUE, class = "trelba_argument_error")
  # Regression: a reference or background in which no codon is counted gave numbers.
  empty <- tempfile(fileext = ".fa")
  file.create(empty)
  for (setting in list(list(reference = empty), list(background = empty))) {
    expect_error(suppressWarnings(do.call(trelba_table, c(list(real[1]), setting))),
                 sprintf("Error reading file: %s (no codon of T, C, A and G was counted in it)", empty),
                 fixed = TRUE, class = "trelba_error")
  }
})

test_that("no sequences give no rows", {
  empty <- trelba_analyse(character(0))
  expect_identical(nrow(empty), 0L)
  expect_identical(names(empty), names(suppressWarnings(trelba_analyse("ATGAAA"))))
})

test_that("the package's version is the program's", {
  skip_if(binary == "", "TRELBA_BINARY names no program")
  expect_identical(paste("Trelba", packageVersion("trelba")),
                   system2(binary, "--version", stdout = TRUE))
})
