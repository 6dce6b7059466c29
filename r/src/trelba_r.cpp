// The package's native part: the library's table as a list of R vectors (integer, double,
// character, as the table's columns hold), its warnings as text and its error as a list,
// for R/trelba.R to turn into a data frame, R warnings and an R error. The library's
// cells come on its own threads into its ColumnVectors; R's vectors are made afterwards,
// on R's thread. R's interrupt (Ctrl-C, Esc) stops the work between blocks of input.
#include <R_ext/Rdynload.h>
#include <Rcpp.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "trelba/trelba.hpp"

namespace {

// How often R is asked whether the user interrupted.
constexpr std::chrono::milliseconds kInterruptCheckInterval{50};

SEXP Texts(const trelba::ColumnVectors::Vectors& column) {
  Rcpp::CharacterVector texts(column.ends.size());
  std::size_t begin = 0;
  for (std::size_t i = 0; i < column.ends.size(); ++i) {
    texts[i] = Rf_mkCharLenCE(column.chars.data() + begin, static_cast<int>(column.ends[i] - begin),
                              CE_UTF8);
    begin = column.ends[i];
  }
  return texts;
}

// Whole numbers as integer, or as double where one is beyond R's integers.
SEXP Wholes(const trelba::ColumnVectors::Vectors& column) {
  const auto missing = [&](std::size_t i) {
    return !column.missing.empty() && column.missing[i] != 0;
  };
  const std::vector<std::int64_t>& values = column.wholes;
  bool fits = true;
  for (std::size_t i = 0; i < values.size(); ++i) {
    fits = fits && (missing(i) || (values[i] > INT_MIN && values[i] <= INT_MAX));
  }
  if (fits) {
    Rcpp::IntegerVector wholes(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      wholes[i] = missing(i) ? NA_INTEGER : static_cast<int>(values[i]);
    }
    return wholes;
  }
  Rcpp::NumericVector numbers(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    numbers[i] = missing(i) ? NA_REAL : static_cast<double>(values[i]);
  }
  return numbers;
}

SEXP Numbers(const trelba::ColumnVectors::Vectors& column) {
  Rcpp::NumericVector numbers(column.numbers.size());
  for (std::size_t i = 0; i < column.numbers.size(); ++i) {
    numbers[i] = std::isnan(column.numbers[i]) ? NA_REAL : column.numbers[i];
  }
  return numbers;
}

// The table as a named list of R vectors: integer, double and character.
Rcpp::List Frame(const trelba::ColumnVectors& table) {
  Rcpp::List list(table.columns.size());
  Rcpp::CharacterVector names(table.columns.size());
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    const trelba::ColumnVectors::Vectors& column = table.columns[c];
    names[c] = column.column.name;
    switch (column.column.kind) {
      case trelba::ColumnKind::kText:
        list[c] = Texts(column);
        break;
      case trelba::ColumnKind::kWholeNumber:
        list[c] = Wholes(column);
        break;
      case trelba::ColumnKind::kNumber:
        list[c] = Numbers(column);
        break;
    }
  }
  list.attr("names") = names;
  return list;
}

void CheckInterrupt(void*) {
  R_CheckUserInterrupt();
}

// Whether the user interrupted: R_CheckUserInterrupt run where its jump ends inside
// R_ToplevelExec, at most every kInterruptCheckInterval unless a signal arrived.
class InterruptCheck {
 public:
  bool operator()(bool signal_arrived) {
    const auto now = std::chrono::steady_clock::now();
    if (!signal_arrived && now - last_ < kInterruptCheckInterval) return false;
    last_ = now;
    return R_ToplevelExec(CheckInterrupt, nullptr) == FALSE;
  }

 private:
  std::chrono::steady_clock::time_point last_{};
};

std::optional<std::string> Text(SEXP value) {
  if (Rf_isNull(value)) return std::nullopt;
  return Rcpp::as<std::string>(value);
}

trelba::TableSettings SettingsOf(const Rcpp::List& settings) {
  trelba::TableSettings table;
  table.variant = Text(settings["variant"]);
  table.gcode = Text(settings["gcode"]);
  table.background = Text(settings["background"]);
  table.threads = Text(settings["threads"]);
  table.reference = Text(settings["reference"]);
  table.counts = Rcpp::as<bool>(settings["counts"]);
  table.description = Rcpp::as<bool>(settings["description"]);
  table.coa = Text(settings["coa"]);
  table.gff = Text(settings["gff"]);
  table.trna = Text(settings["trna"]);
  table.optimal_codons = Text(settings["optimal_codons"]);
  table.min_codons = Text(settings["min_codons"]);
  table.cds_only = Rcpp::as<bool>(settings["cds_only"]);
  table.skip_first_codon = Rcpp::as<bool>(settings["skip_first_codon"]);
  return table;
}

// Runs `work(hooks, columns)`: list(columns, warnings, error), or R's interrupt.
template <class Work>
SEXP Call(Work&& work) {
  std::vector<std::string> warnings;
  InterruptCheck interrupted;
  trelba::CallerHooks hooks;
  hooks.warning = [&](std::string_view line) { warnings.emplace_back(line); };
  hooks.interrupted = [&](bool signal_arrived) { return interrupted(signal_arrived); };
  trelba::ColumnVectors columns;
  Rcpp::List result =
      Rcpp::List::create(Rcpp::Named("columns") = R_NilValue, Rcpp::Named("warnings") = R_NilValue,
                         Rcpp::Named("error") = R_NilValue);
  try {
    work(hooks, columns);
    result["columns"] = Frame(columns);
  } catch (const trelba::Interrupted&) {
    throw Rcpp::internal::InterruptedException();
  } catch (const trelba::Error& error) {
    const int cause = error.system_error();
    const bool opening = cause != 0 && cause != ENOMEM;
    result["error"] = Rcpp::List::create(
        Rcpp::Named("message") = error.what(), Rcpp::Named("file") = error.file(),
        Rcpp::Named("cause") = opening ? std::strerror(cause) : "",
        Rcpp::Named("option") = error.option(), Rcpp::Named("memory") = cause == ENOMEM);
  } catch (const std::bad_alloc&) {
    // Memory ran out outside the library's reading (the settings, the vectors): the
    // columns are gone, and there is room again for the error.
    columns.columns.clear();
    columns.columns.shrink_to_fit();
    result["error"] =
        Rcpp::List::create(Rcpp::Named("message") = "memory ran out while the table was made",
                           Rcpp::Named("file") = "", Rcpp::Named("cause") = "",
                           Rcpp::Named("option") = "", Rcpp::Named("memory") = true);
  }
  result["warnings"] = Rcpp::wrap(warnings);
  return result;
}

}  // namespace

// The table (output 0), the summary (1) or the codon usage (2) of `files`.
extern "C" SEXP trelba_table_c(SEXP files, SEXP settings, SEXP output) {
  BEGIN_RCPP
  std::vector<trelba::Input> inputs;
  for (std::string& path : Rcpp::as<std::vector<std::string>>(files)) {
    inputs.push_back({std::move(path), {}});
  }
  const trelba::TableSettings table = SettingsOf(settings);
  const int which = Rcpp::as<int>(output);
  return Call([&](const trelba::CallerHooks& hooks, trelba::ColumnVectors& columns) {
    if (which == 1) {
      trelba::SummaryOfInputs(inputs, table, columns, hooks);
    } else if (which == 2) {
      trelba::CodonUsageOfInputs(inputs, table, columns, hooks);
    } else {
      trelba::TableOfInputs(inputs, table, columns, hooks);
    }
  });
  END_RCPP
}

extern "C" SEXP trelba_text_c(SEXP fasta, SEXP label, SEXP settings) {
  BEGIN_RCPP
  SEXP text = STRING_ELT(fasta, 0);
  const std::string_view view(CHAR(text), static_cast<std::size_t>(LENGTH(text)));
  const std::string name = Rcpp::as<std::string>(label);
  const trelba::TableSettings table = SettingsOf(settings);
  return Call([&](const trelba::CallerHooks& hooks, trelba::ColumnVectors& columns) {
    trelba::TableOfText(view, table, name, columns, hooks);
  });
  END_RCPP
}

static const R_CallMethodDef kCallMethods[] = {
    {"trelba_table_c", reinterpret_cast<DL_FUNC>(&trelba_table_c), 3},
    {"trelba_text_c", reinterpret_cast<DL_FUNC>(&trelba_text_c), 3},
    {nullptr, nullptr, 0}};

extern "C" void R_init_trelba(DllInfo* info) {
  R_registerRoutines(info, nullptr, kCallMethods, nullptr, nullptr);
  R_useDynamicSymbols(info, FALSE);
}
