#include "driver/run_of_inputs.hpp"

#include <chrono>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "codes/genetic_code.hpp"
#include "codes/ncbi_tables.hpp"
#include "driver/annotation_file.hpp"
#include "driver/background_choice.hpp"
#include "driver/error_message.hpp"
#include "driver/input_reader.hpp"
#include "driver/input_run.hpp"
#include "driver/inputs_analysis.hpp"
#include "driver/messages.hpp"
#include "driver/options.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/output_names.hpp"
#include "driver/progress.hpp"
#include "driver/reference_columns.hpp"
#include "driver/reference_genome.hpp"
#include "driver/run.hpp"
#include "driver/run_outputs.hpp"
#include "driver/trna_file.hpp"
#include "input/input_file_system.hpp"
#include "reports/report_file.hpp"
#include "reports/report_set.hpp"

namespace trelba {
namespace {

int ReportAllInputs(const Options& options, Progress* progress) {
  const TableLayout layout = TableLayoutOf(options);
  std::vector<FileIdentity> identities;
  identities.reserve(options.inputs.size());
  for (const std::string& input : options.inputs) {
    identities.push_back(input == kStandardStream ? IdentifyStandardInput() : IdentifyFile(input));
  }
  if (const auto collision = FindOutputCollision(options, identities)) {
    ErrorLine(*collision);
    return kFailureStatus;
  }
  if (options.output_is_folder) {
    std::error_code ignored;  // a folder that cannot be made fails at its first report
    std::filesystem::create_directories(std::filesystem::u8path(*options.output), ignored);
  }
  if (options.figures) {
    std::error_code ignored;  // a folder that cannot be made fails at its first figure
    std::filesystem::create_directories(std::filesystem::u8path(*options.figures), ignored);
  }
  RunOutputs run(options, layout);
  const auto opening_failed = [](const std::optional<std::string>& error) {
    if (error) ErrorLine(*error);
    return error.has_value();
  };
  if (opening_failed(run.OpenSummary(identities)) || opening_failed(run.OpenPage(identities)) ||
      opening_failed(run.OpenCodonUsage(identities))) {
    return kFailureStatus;
  }
  // One background for every input, unless each input is its own.
  Background shared;
  if (options.background != "input" && opening_failed(ChooseBackground(options, "", shared))) {
    return kFailureStatus;
  }
  const SynonymousCodons synonymous = SynonymousCodonsOf(*options.code);
  std::optional<ReferenceFile> reference;
  std::optional<OptimalCodonsText> optimal;
  if (options.reference && options.reference != kAutomaticReference) {
    if (opening_failed(ReadReferenceFile(options, synonymous, reference.emplace(), optimal))) {
      return kFailureStatus;
    }
    if (TableWaitsForGenome(*reference) && options.inputs.size() > 1) {
      if (const auto problem = FindReferenceGenome(options, synonymous, *reference, nullptr)) {
        return UsageError(*problem);
      }
    }
  } else if (opening_failed(ReadOptimalCodonsFile(options, optimal))) {
    return kFailureStatus;
  }
  std::optional<TrnaWeights> trna;
  if (opening_failed(ReadTrnaFile(options, trna))) return kFailureStatus;
  GeneCountStore genes;
  InputRun r{options,
             options.background == "input" ? nullptr : &shared,
             layout,
             run,
             identities,
             synonymous,
             reference ? &*reference : nullptr,
             genes};
  r.reference_found = options.reference == kAutomaticReference;
  r.optimal = &optimal;
  r.trna = trna ? &*trna : nullptr;
  if (reference && reference->table) WriteReferenceRows(r);
  r.progress = progress;
  GeneCountStore inputs_pooled;
  if (options.coa_kind) {
    r.coa_columns = CoaColumnsOf(*options.coa_kind, synonymous);
    r.coa_sums.emplace(*r.coa_columns);
    if ((run.summary() != nullptr || run.draws()) && layout.Has(ColumnGroup::kInputsCoa)) {
      r.inputs_pooled = &inputs_pooled;
    }
  }
  bool all_read = true;
  bool any_read = false;
  // A table that cannot be written, or a temporary folder that cannot take the stores, ends
  // the run: no later input could add its rows.
  for (std::size_t i = 0; i < options.inputs.size() && !run.stopped; ++i) {
    bool read = false;
    try {
      read = ReportOneInput(r, i);
    } catch (const std::bad_alloc&) {
      // Outside the pipeline (which tells its own): the input's outputs are gone with it.
      DropInputRows(r);
      if (!r.failure_said) {
        FileError("reading", InputName(options.inputs[i]), FailureCause{0, kOutOfMemory});
      }
    }
    if (progress != nullptr) progress->InputDone();
    all_read = all_read && read;
    any_read = any_read || read;
  }
  // Whatever stood at the outputs' names stays.
  if (run.stopped) return kFailureStatus;
  try {
    WriteReferenceRows(r);  // when no input got so far
    if (opening_failed(run.OpenTable(identities))) return kFailureStatus;
    if (!any_read) {
      run.KeepEarlierFiles();
      return kFailureStatus;
    }
    if (r.inputs_pooled != nullptr &&
        !AddInputsCoordinates(*r.coa_columns, synonymous, inputs_pooled, layout, run)) {
      return kFailureStatus;
    }
    if (!run.FinishPage()) return kFailureStatus;
    run.FinishCodonUsage();
    if (!run.Commit()) return kFailureStatus;
  } catch (const std::bad_alloc&) {
    if (!all_read) return kFailureStatus;  // an input's error said it already
    throw;
  }
  return all_read ? 0 : kFailureStatus;
}

}  // namespace

void TakeCodeOfFirstInput(Options& options) {
  if (!options.ncbi_table && !options.variant && !options.code_argument &&
      !options.inputs.empty() && (options.sources.empty() || options.sources.front() == nullptr)) {
    if (const auto table = FirstTranslationTable(options.gff.value_or(options.inputs.front()))) {
      if (const GeneticCode* code = NcbiGeneticCode(*table)) options.code = code;
    }
  }
}

int RunInputs(Options& options, std::optional<std::chrono::milliseconds> progress_interval) {
  for (const std::string& line : options.warnings) Warning(line);
  SetSyncOnCommit(options.sync);
  TakeCodeOfFirstInput(options);
  GffAnnotation annotation;
  if (options.gff) {
    if (const auto error = ReadGffFile(*options.gff, annotation)) {
      ErrorLine(*error);
      return kFailureStatus;
    }
    options.annotation = &annotation;
  }
  // Every buffer is had before an input is read: memory that cannot be had means the
  // input cannot be read, and no report is changed.
  std::optional<Progress> progress;
  if (progress_interval) progress.emplace(options.inputs.size(), *progress_interval);
  try {
    const int status = ReportAllInputs(options, progress ? &*progress : nullptr);
    if (progress) progress->Finish();
    // --strict: a warning is as good as an error to a pipeline that asks so.
    return options.strict && WarningsGiven() != 0 ? kFailureStatus : status;
  } catch (const std::bad_alloc&) {
    return FileError("reading", InputName(options.inputs.front()), FailureCause{0, kOutOfMemory});
  }
}

}  // namespace trelba
