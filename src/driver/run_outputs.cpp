#include "driver/run_outputs.hpp"

#include <new>
#include <string>
#include <vector>

#include "driver/error_message.hpp"
#include "driver/output_names.hpp"
#include "reports/column_catalog.hpp"
#include "reports/cusp_report.hpp"
#include "reports/output_compression.hpp"
#include "reports/run_figures.hpp"

namespace trelba {

OutputBuffer* RunOutputs::Open(const std::string& name, const std::vector<FileIdentity>& inputs) {
  // A member in the making for each thread, and one being filled.
  const unsigned threads = ThreadCount(options_);
  const Compression compression{OutputCompressionOf(name), threads == 1 ? 1 : threads + 1,
                                &side_work_};
  if (name == kStandardStream) {
    if (options_.standard_output != nullptr) return set_.OpenSink(*options_.standard_output);
    return set_.OpenStandardOutput();
  }
  // No input is written over (output_names.hpp has checked each against them).
  return set_.OpenFile(name, inputs.empty() ? FileIdentity{} : inputs.front(), compression, true);
}

std::optional<std::string> RunOutputs::OpenTable(const std::vector<FileIdentity>& inputs) {
  if (!options_.table || table_ != nullptr) return std::nullopt;
  table_ = Open(*options_.table, inputs);
  if (table_ == nullptr) return FileErrorText("opening", *options_.table, set_.cause());
  WriteTableHeader(*table_, layout_);
  return std::nullopt;
}

std::optional<std::string> RunOutputs::OpenSummary(const std::vector<FileIdentity>& inputs) {
  if (!options_.summary) return std::nullopt;
  summary_ = Open(*options_.summary, inputs);
  if (summary_ == nullptr) return FileErrorText("opening", *options_.summary, set_.cause());
  WriteSummaryHeader(*summary_, layout_);
  if (HasWholeRunCells(layout_)) held_summary_.emplace(held_rows_);
  return std::nullopt;
}

bool RunOutputs::ReleaseSummary(const std::function<void(OutputBuffer&)>& end_row) {
  if (!held_summary_) return true;
  if (held_summary_->Flush() && held_rows_.ReleaseRows(*summary_, end_row)) return true;
  FileError("writing", "the temporary file of the summary's rows", held_rows_.error());
  return false;
}

std::optional<std::string> RunOutputs::OpenPage(const std::vector<FileIdentity>& inputs) {
  if (!options_.report && !options_.figures) return std::nullopt;
  synonymous_.emplace(SynonymousCodonsOf(*options_.code));
  plots_.emplace(*synonymous_, options_.inputs.size());
  if (!options_.report) return std::nullopt;
  page_buffer_ = Open(*options_.report, inputs);
  if (page_buffer_ == nullptr) return FileErrorText("opening", *options_.report, set_.cause());
  page_.emplace(*page_buffer_, *options_.code, options_.background.value_or("even"), *plots_);
  return std::nullopt;
}

std::optional<std::string> RunOutputs::OpenCodonUsage(const std::vector<FileIdentity>& inputs) {
  if (!options_.codon_usage) return std::nullopt;
  codon_usage_ = Open(*options_.codon_usage, inputs);
  if (codon_usage_ == nullptr) {
    return FileErrorText("opening", *options_.codon_usage, set_.cause());
  }
  const std::string_view name = *options_.codon_usage;
  const auto ends_with = [&](std::string_view end) {
    return name.size() >= end.size() && name.substr(name.size() - end.size()) == end;
  };
  cusp_format_ = ends_with(".cut") || ends_with(".cut.gz");
  if (!cusp_format_) WriteCodonUsageHeader(*codon_usage_, layout_);
  return std::nullopt;
}

void RunOutputs::AddToCodonUsage(const CodonCounts& pooled) {
  for (std::size_t c = 0; c <= kCodonCount; ++c) cusp_counts_[c] += pooled[c];
}

void RunOutputs::FinishCodonUsage() {
  if (codon_usage_ != nullptr && cusp_format_) {
    WriteCuspTable(*codon_usage_, *options_.code, cusp_counts_);
  }
}

template <class Draw>
void RunOutputs::OnPage(Draw&& draw) {
  if (!page_ || page_failed) return;
  try {
    draw();
  } catch (const std::bad_alloc&) {
    page_failed = true;
    page_buffer_->Fail();
    FileError("writing", *options_.report, FailureCause{0, kOutOfMemory});
  }
}

void RunOutputs::AddToPage(const PageInput& input, const RunPlotData::Input* together) {
  if (plots_ && together != nullptr) plots_->AddInput(*together);
  OnPage([&] { page_->AddInput(input); });
}

bool RunOutputs::FinishPage() {
  OnPage([&] { page_->Finish(RunMakesCoa(options_)); });
  if (!options_.figures || !plots_) return true;
  const std::string prefix = RunFigurePrefix(options_);
  for (const RunFigureEntry& entry : kRunFigures) {
    if (!Drawn(entry, options_.inputs.size(), RunMakesCoa(options_))) continue;
    const std::string name = FigureName(prefix, entry.name);
    OutputBuffer* const out = set_.OpenFile(name, FileIdentity{});
    if (out == nullptr) {
      ErrorLine(FileErrorText("opening", name, set_.cause()));
      return false;
    }
    std::string text;
    DrawRunFigure(text, entry.figure, *plots_, SvgTarget::kFile);
    out->Append(text);
  }
  return true;
}

bool RunOutputs::Commit() {
  const std::string* failed = set_.Commit();
  if (failed == nullptr) return true;
  // Said already.
  if (table_failed && *failed == OutputName(*options_.table)) return false;
  if (page_failed && *failed == *options_.report) return false;
  FileError("writing", *failed, set_.cause());
  return false;
}

void RunOutputs::KeepEarlierFiles() {
  const std::vector<std::string> names = set_.FileNames();
  if (names.empty()) return;
  std::string line = "Trelba: no input was read whole: ";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i != 0) line += i + 1 == names.size() ? " and " : ", ";
    line += PrintableName(names[i]);
  }
  ErrorLine(line + (names.size() == 1 ? " is left as it was" : " are left as they were"));
}

}  // namespace trelba
