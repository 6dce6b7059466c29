#include "driver/input_run.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <optional>

#include "driver/background_choice.hpp"
#include "driver/coa_page.hpp"
#include "driver/error_message.hpp"
#include "driver/messages.hpp"
#include "driver/output_names.hpp"
#include "driver/whole_input_columns.hpp"
#include "input/annotation_warnings.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/input_survey.hpp"
#include "input/text_format.hpp"
#include "reports/codon_usage_report.hpp"
#include "reports/column_catalog.hpp"
#include "reports/input_figures.hpp"
#include "reports/report_set.hpp"

namespace trelba {
namespace {

// One input on its way through the steps of ReportOneInput. Each step returns false after
// failing the input: its error printed, its table rows dropped, its summary row and page
// section saying so.
class OneInput {
 public:
  OneInput(InputRun& r, std::size_t index)
      : r_(r),
        options_(r.options),
        index_(index),
        argument_(options_.inputs[index]),
        last_(index + 1 == options_.inputs.size()),
        identity_(r.identities[index]),
        label_(argument_ == kStandardStream ? std::string(StandardInputLabel(options_))
                                            : argument_),
        name_(InputName(argument_)),
        source_(index < options_.sources.size() ? options_.sources[index] : nullptr) {
    row_.file = label_;
  }

  // Opens the input; refused text (UTF-16, UTF-32) fails before any report is created.
  bool Open() {
    input_.SetInflateThreads(ThreadCount(options_));
    const bool opened = source_ != nullptr ? input_.OpenSource(*source_)
                        : argument_ == kStandardStream
                            ? input_.OpenDescriptor(kStandardInputDescriptor)
                            : input_.Open(argument_);
    if (!opened) {
      // The line keeps the bytes scripts match; its cause follows on one of its own.
      const char* const why = CauseText(input_.error());
      return Fail(FileErrorText("opening", name_),
                  why != nullptr ? "Trelba: " + PrintableName(name_) + ": " + why : "");
    }
    if (input_.refusal() != nullptr) {
      return Fail(FileErrorText("reading", name_, input_.refusal()));
    }
    return true;
  }

  // The input's own background (--background input), read first; the expected score shows
  // only in the table, the summary, the HTML report and the figures.
  bool ChooseBackground() {
    excess_shown_ = options_.table || options_.summary || options_.report || options_.figures;
    if (r_.shared_background != nullptr || !excess_shown_) return true;
    // The run's reader counts, and a small input's text is kept for its second pass.
    if (r_.reader == nullptr) {
      r_.reader = std::make_unique<InputReader>(ThreadCount(options_), &r_.run.side_work());
    }
    if (const auto error = trelba::ChooseBackground(options_, argument_, own_background_,
                                                    r_.reader.get(), &kept_)) {
      return Fail(*error);
    }
    return true;
  }

  // The family order report, the score report and the count report, in that order (none
  // of them the input itself), then the run's table when it is not open yet.
  bool OpenOutputs() {
    request_.style = {options_.code, r_.layout, label_,
                      !excess_shown_                    ? nullptr
                      : r_.shared_background != nullptr ? r_.shared_background
                                                        : &own_background_};
    request_.style.filters = {options_.min_codon_count, options_.cds_only,
                              options_.skip_first_codon};
    request_.threads = ThreadCount(options_);
    request_.table_header = false;
    request_.keep_scores = options_.summary.has_value() || r_.run.draws();  // for the medians
    request_.style.plot = r_.run.draws();
    request_.style.trna = r_.trna;
    request_.style.mark_genes = r_.reference == nullptr && r_.reference_found;
    if (r_.reference != nullptr && r_.reference->genes_given) {
      request_.match = &r_.reference->identities;
    }
    if (r_.coa_sums) {
      r_.coa_sums.emplace(*r_.coa_columns);
      request_.coa = &*r_.coa_sums;
      request_.style.coa = &*r_.coa_columns;
    }
    request_.pool =
        options_.codon_usage.has_value() || r_.run.draws() || r_.inputs_pooled != nullptr;
    request_.annotation = options_.annotation;
    request_.progress = r_.progress;
    if (!options_.no_reports) {
      const std::string prefix = ReportPrefix(options_, argument_, label_);
      OutputBuffer** const slots[] = {&request_.outputs.order, &request_.outputs.scores,
                                      &request_.outputs.counts};
      static_assert(std::size(slots) == kReportSuffixes.size());
      for (std::size_t k = 0; k < kReportSuffixes.size(); ++k) {
        const std::string name = prefix + std::string(kReportSuffixes[k]);
        *slots[k] = reports_.OpenFile(name, identity_);
        if (*slots[k] == nullptr) {
          return Fail(FileErrorText("opening", name, reports_.cause()) +
                      ReportFolderHint(reports_.cause()));
        }
      }
    }
    if (const auto error = r_.run.OpenTable(r_.identities)) {
      r_.run.table_failed = true;
      return FailRun(*error);
    }
    if (KeepsCounts()) request_.store = &r_.genes;
    if (OutputBuffer* table = r_.run.table()) {
      r_.rows_direct = !HasWholeInputCells(r_.layout) && table->CanTruncate();
      // The input's rows begin a part of their own (a compressed table's member), which
      // they can be cut back to; a write that fails here fails the rows' writes.
      if (r_.rows_direct) table->EndPart();
      r_.rows_start = table->size();
      request_.outputs.table = r_.rows_direct ? table : &r_.staged_table;
      request_.held_rows = r_.rows_direct ? nullptr : &r_.staged;
    }
    return true;
  }

  // Reads the input to its end, its reports and table rows written as it goes.
  bool Read() {
    if (r_.reader == nullptr) {
      r_.reader = std::make_unique<InputReader>(request_.threads, &r_.run.side_work());
    }
    TextSource kept(kept_.text);
    outcome_ = r_.reader->Read(kept_.whole ? static_cast<ByteSource&>(kept) : input_, request_);
    kept_ = KeptText{};
    if (outcome_.status == InputOutcome::Status::kReadFailed ||
        outcome_.status == InputOutcome::Status::kNoMemory) {
      const FailureCause cause = CauseOf(outcome_, input_);
      // A store of the scanner's (an annotated record's sequence) in the temporary folder.
      if (cause.in_temporary_folder) return FailRun(TemporaryFolderErrorText(cause));
      return Fail(FileErrorText("reading", name_, cause));
    }
    if (const std::string* failed = reports_.Failed()) {
      return Fail(FileErrorText("writing", *failed, reports_.cause()));
    }
    if (const auto cause = TemporaryFailure()) return FailRun(TemporaryFolderErrorText(*cause));
    SayWhatItWas();
    // --strict: an input that gave no sequence fails.
    if (options_.strict && row_.status != "ok") {
      return Fail(FileErrorText("reading", name_, FailureCause{0, row_.message.data()}));
    }
    return true;
  }

  // The summary's status: "ok", or what an input that gave no sequence was, with its
  // message.
  void SayWhatItWas() {
    struct Kind {
      std::string_view status;
      const char* message;
    };
    static constexpr Kind kKinds[] = {
        {"empty", "not sequence data: it holds no text"},
        {"binary", "not sequence data: it holds NUL bytes"},
        {"fastq", "not sequence data: FASTQ reads, not coding sequences"},
        {"text", "not sequence data: no FASTA header line, GenBank, EMBL or GFF3 record was found"},
        {"no_cds", "no CDS feature was found in its records"},
    };
    std::string_view status = "ok";
    if (outcome_.annotated) {
      if (outcome_.annotation.coding == 0) status = "no_cds";
    } else if (!outcome_.any_header()) {
      status = NoSequenceKind(outcome_.first_byte, outcome_.totals.survey.nul_bytes != 0);
    }
    for (const Kind& kind : kKinds) {
      if (kind.status == status) {
        row_.status = kind.status;
        row_.message = kind.message;
      }
    }
  }

  // The rows go to the table (with the columns of the whole input behind each) before
  // the reports are put in place, so that a table that cannot be written leaves them as
  // they were: a one-input run replaces all or nothing.
  bool PassRowsToTable() {
    OutputBuffer* const table = r_.run.table();
    if (table != nullptr && !(!r_.staged_table.failed() && r_.staged_table.Flush())) {
      return FailStaged();
    }
    if (r_.coa_sums) {
      coa_ = SolveCoa(*r_.coa_sums);
      if (coa_.made && request_.style.plot) {
        coa_plot_ = CoaPlotOf(*r_.coa_columns, coa_, r_.synonymous);
      }
    }
    if (KeepsCounts()) {
      WholeInputSources sources;
      if (UsesReference()) {
        const WholeInputReference input{
            *options_.code,
            r_.synonymous,
            r_.reference,
            *r_.optimal,
            name_,
            label_,
            table != nullptr && r_.layout.Has(ColumnGroup::kCompositionReference)};
        if (ChooseReference(input, outcome_.totals, outcome_.scanner.sequence, reference_) ==
            ReferenceFound::kUnreadable) {
          return FailCounts();
        }
        sources.reference = &reference_;
      }
      sources.plot = request_.style.plot ? &outcome_.totals.plot : nullptr;
      if (r_.coa_sums && (table != nullptr || coa_plot_)) {
        sources.coa_columns = &*r_.coa_columns;
        sources.coa = &coa_;
      }
      const bool released = AddWholeInputColumns(r_.layout, outcome_.totals, &r_.staged, table,
                                                 sources, &r_.run.side_work());
      if (table != nullptr && table->failed()) return FailTable(table->error());
      if (!released) return r_.staged.error() ? FailStaged() : FailCounts();
    } else if (table != nullptr) {
      if (!r_.staged.Release(*table)) return FailStaged();
    }
    if (table == nullptr) return true;
    if (!table->EndPart()) return FailTable(table->error());
    r_.rows_direct = false;  // the rows stay
    return true;
  }

  // The medians of the summary, the HTML report and the codon usage, before the reports
  // are put in place: a file of the temporary folder that cannot be read back fails the run
  // with them as they were.
  bool TakeMedians() {
    InputTotals& totals = outcome_.totals;
    row_.median_score = totals.scores.Median();
    row_.median_excess = totals.excesses.Median();
    row_.median_enc = totals.encs.Median();
    if (UsesReference()) {
      row_.median_cai = reference_.cai.Median();
      row_.median_fop = reference_.fop.Median();
      row_.median_adaptation = reference_.adaptation.Median();
    }
    if (const auto cause = TemporaryFailure()) return FailRun(TemporaryFolderErrorText(*cause));
    return true;
  }

  // Puts the reports in place; from the last input's on, interruptions wait for the run's
  // commit.
  bool CommitReports() {
    if (options_.figures && !WriteFigures()) return false;
    if (const std::string* failed = reports_.Close()) {
      return Fail(FileErrorText("writing", *failed, reports_.cause()));
    }
    if (last_) r_.hold.emplace();
    if (const std::string* failed = reports_.Commit()) {
      return Fail(FileErrorText("writing", *failed, reports_.cause()));
    }
    return true;
  }

  void Warn() const {
    const InputTotals& totals = outcome_.totals;
    if (outcome_.annotated) {
      for (const std::string& line :
           AnnotationWarnings(name_, outcome_.format, outcome_.annotation, *options_.code,
                              outcome_.gff_without_fasta)) {
        Warning(line);
      }
    }
    for (const std::string& line : InputWarnings(name_, totals.survey, totals.u_letters,
                                                 outcome_.any_header() || outcome_.annotated,
                                                 request_.style.filters, outcome_.first_byte)) {
      Warning(line);
    }
  }

  // The input's summary row, its section of the HTML report and its codon usage, from one
  // set of numbers.
  void Summarize() {
    InputTotals& totals = outcome_.totals;
    row_.sequences = outcome_.scanner.sequence - totals.survey.left_out_total();
    row_.codons = totals.coding.codons;
    row_.average = totals.average.empty() ? std::nan("") : totals.average.value();
    row_.gc = GcContent(totals.coding);
    row_.gc3 = Gc3Content(totals.coding);
    row_.internal_stop_sequences = totals.survey.internal_stop_sequences;
    row_.partial_sequences = totals.survey.partial_sequences;
    row_.comment_lines = totals.survey.comment_lines;
    row_.inline_headers = totals.survey.inline_headers;
    row_.gc3s = Gc3s(totals.coding.thirds);
    const auto left = [&](LeftOut why) {
      return totals.survey.left_out[static_cast<std::size_t>(why)];
    };
    const AnnotationTally& features = outcome_.annotation;
    row_.left_rna = left(LeftOut::kRna);
    row_.left_pseudogenes = left(LeftOut::kPseudogene) + features.pseudo.count;
    row_.left_stops = left(LeftOut::kStops);
    row_.left_frame = left(LeftOut::kFrame);
    row_.left_short = left(LeftOut::kShort);
    row_.left_features = features.other_record.count + features.unreadable.count +
                         features.out_of_range.count + features.without_sequence.count +
                         features.protein_records.count;
    row_.coa_inertia = coa_.inertia_share;
    if (UsesReference()) {
      row_.reference = reference_.name;
      row_.reference_genes = reference_.genes;
      row_.reference_genes_known = r_.reference == nullptr || r_.reference->genes_given;
      row_.reference_rounds = reference_.rounds;
      row_.reference_s = reference_.sign;
      row_.starts_agree = reference_.starts_agree;
      row_.reference_strength = reference_.strength;
      row_.chance_strength = reference_.chance_strength;
      row_.chance_z = reference_.chance_z;
      row_.reference_gc3s = reference_.gc3s;
      row_.gc3s_above = reference_.gc3s_above;
      row_.reference_route = reference_.route;
    }
    if (r_.run.summary() != nullptr) WriteSummaryCells(*r_.run.summary(), r_.layout, row_);
    if (r_.inputs_pooled != nullptr) r_.inputs_pooled->Add(totals.pooled);
    const bool reference_counts = UsesReference() && reference_.found && reference_.counts_known;
    const std::string reference_label = label_ + "'s reference " + reference_.name;
    const RunPlotData::Input together{index_,
                                      label_,
                                      &totals.plot,
                                      row_.median_enc,
                                      row_.gc3s,
                                      totals.pooled,
                                      reference_counts ? &reference_.pooled : nullptr,
                                      reference_label};
    r_.run.AddToPage({row_, &totals.plot, coa_plot_ ? &*coa_plot_ : nullptr}, &together);
    if (r_.run.codon_usage_in_cusp_format()) {
      r_.run.AddToCodonUsage(totals.pooled);
    } else if (OutputBuffer* usage = r_.run.codon_usage()) {
      WriteReferenceRows(r_);
      WriteCodonUsageRows(*usage, r_.layout, label_, r_.synonymous, totals.pooled,
                          UsesReference() ? &reference_.usage : nullptr, true,
                          reference_.found ? reference_.contrast : std::string(),
                          r_.coa_sums ? &*r_.coa_columns : nullptr, r_.coa_sums ? &coa_ : nullptr);
    }
  }

 private:
  // The input's figure files, put in place with its reports.
  bool WriteFigures() {
    const FigureInput figures{outcome_.totals.plot, UsesReference(),
                              coa_plot_ ? &*coa_plot_ : nullptr};
    const std::string prefix = FigurePrefix(options_, argument_, label_);
    for (const InputFigureEntry& entry : kInputFigures) {
      if (!Drawn(entry, options_.reference.has_value(), figures.coa != nullptr)) continue;
      const std::string name = FigureName(prefix, entry.name);
      OutputBuffer* const out = reports_.OpenFile(name, identity_);
      if (out == nullptr) return Fail(FileErrorText("opening", name, reports_.cause()));
      std::string text;
      DrawInputFigure(text, entry.figure, figures, SvgTarget::kFile);
      out->Append(text);
    }
    return true;
  }

  bool UsesReference() const { return r_.reference != nullptr || r_.reference_found; }
  // Every sequence's counts are kept for the table's columns of the whole input: those
  // against a reference (whose medians the summary shows too), or the genes' coordinates.
  bool KeepsCounts() const {
    return UsesReference() ||
           (r_.coa_sums.has_value() && (options_.table.has_value() || request_.style.plot));
  }

  // Where the reports go beside the input and its folder takes no files: the two ways out.
  std::string ReportFolderHint(const FailureCause& cause) const {
    const bool refused = cause.code == EACCES || cause.code == EPERM || cause.code == EROFS;
    if (!refused || options_.output) return {};
    return ": the reports go beside their input unless -o DIR/ names another folder, or "
           "--no-reports leaves them out";
  }

  // (`cause`: a line of its own after the error's, when it is not empty.)
  bool Fail(const std::string& error, const std::string& cause = "") {
    ErrorLine(error);
    if (!cause.empty()) ErrorLine(cause);
    r_.failure_said = true;
    DropInputRows(r_);
    row_.error = error;
    if (r_.run.summary() != nullptr) WriteSummaryCells(*r_.run.summary(), r_.layout, row_);
    if (r_.inputs_pooled != nullptr) r_.inputs_pooled->Add(CodonCounts{});
    r_.run.AddToPage({row_, nullptr}, nullptr);
    return false;
  }

  // A failure that no later input can mend: the run stops, and none of its outputs is put
  // in place.
  bool FailRun(const std::string& error) {
    r_.run.stopped = true;
    return Fail(error);
  }

  bool FailTable(const FailureCause& cause) {
    r_.run.table_failed = true;
    return FailRun(FileErrorText("writing", OutputName(*options_.table), cause));
  }

  // The held rows could not be kept or read back: the temporary folder failed, or memory.
  bool FailStaged() {
    if (r_.staged.spill_failed()) return FailRun(TemporaryFolderErrorText(r_.staged.error()));
    return Fail(FileErrorText("reading", name_, FailureCause{0, kOutOfMemory}));
  }

  // The kept counts could not be read back.
  bool FailCounts() {
    const FailureCause cause =
        r_.genes.error() ? r_.genes.error() : FailureCause{EIO, nullptr, true};
    return FailRun(TemporaryFolderErrorText(cause));
  }

  // The first store of the temporary folder that failed: the held rows, the counts, the
  // medians' values.
  std::optional<FailureCause> TemporaryFailure() const {
    if (r_.staged.spill_failed()) return r_.staged.error();
    if (r_.genes.failed()) return r_.genes.error();
    const InputTotals& totals = outcome_.totals;
    for (const MedianSeries* series : {&totals.scores, &totals.excesses, &totals.encs,
                                       &reference_.cai, &reference_.fop, &reference_.adaptation}) {
      if (series->failed()) return series->error();
    }
    return std::nullopt;
  }

  InputRun& r_;
  const Options& options_;
  const std::size_t index_;
  const std::string& argument_;
  const bool last_;
  const FileIdentity& identity_;
  const std::string label_;   // in the table, the summary and -o folder names
  const std::string name_;    // in messages
  ByteSource* const source_;  // a library caller's stream, read instead of the file
  InputFile input_;
  bool excess_shown_ = false;
  Background own_background_;
  KeptText kept_;  // of the background's pass
  ReportSet reports_;
  ReportRequest request_;
  InputOutcome outcome_;
  ReferenceTotals reference_;
  CoaResult coa_;                    // of the input's genes, with --coa
  std::optional<CoaPlot> coa_plot_;  // what its figures draw of it, when it was made
  SummaryCells row_;
};

}  // namespace

void DropInputRows(InputRun& r) {
  r.staged_table.Clear();
  r.staged.Drop();
  r.genes.Clear();  // its memory too: the run's last outputs may need it
  if (r.rows_direct) r.run.table()->Truncate(r.rows_start);  // or the table has failed
  r.rows_direct = false;
}

void WriteReferenceRows(InputRun& r) {
  OutputBuffer* const out = r.run.codon_usage();
  if (out == nullptr || r.run.codon_usage_in_cusp_format() || r.reference == nullptr ||
      !r.reference->genes_given || r.reference_rows) {
    return;
  }
  r.reference_rows = true;
  const ReferenceFile& reference = *r.reference;
  const ReferenceUsage usage = reference.table
                                   ? UsageAgainst(r.synonymous, *reference.table, reference.pooled)
                                   : UsageAgainst(r.synonymous, reference.pooled, reference.pooled);
  WriteCodonUsageRows(*out, r.layout, reference.name, r.synonymous, reference.pooled, &usage,
                      reference.table.has_value(), reference.contrast);
}

bool ReportOneInput(InputRun& r, std::size_t index) {
  r.failure_said = false;
  OneInput input(r, index);
  if (!(input.Open() && input.ChooseBackground() && input.OpenOutputs() && input.Read() &&
        input.PassRowsToTable() && input.TakeMedians() && input.CommitReports())) {
    return false;
  }
  input.Warn();
  input.Summarize();
  return true;
}

}  // namespace trelba
