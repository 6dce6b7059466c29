#include "driver/report_input.hpp"

#include <atomic>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

#include "driver/ordered_pipeline.hpp"
#include "reports/order_report.hpp"
#include "reports/score_report.hpp"
#include "reports/table_report.hpp"

namespace trelba {
namespace {

class InputJob final : public PipelineJob {
 public:
  InputJob(const ReportRequest& request, InputTotals& totals)
      : request_(request), totals_(totals) {}

  // Batches and workers for `pipeline`; false when the memory cannot be had.
  bool Prepare(const OrderedPipeline& pipeline) {
    try {
      for (std::size_t b = 0; b < pipeline.batches(); ++b) {
        batches_.push_back(std::make_unique<SequenceBatch>());
        batches_.back()->slot = b;
      }
      reporters_.reserve(pipeline.workers());
      for (unsigned w = 0; w < pipeline.workers(); ++w) reporters_.emplace_back(request_.style);
      return true;
    } catch (const std::bad_alloc&) {
      batches_.clear();
      reporters_.clear();
      return false;
    }
  }

  SequenceBatch& batch(std::size_t b) { return *batches_[b]; }

  void Work(std::size_t b, unsigned worker) override {
    AnalyseBatch(*batches_[b], reporters_[worker], request_.outputs, reporters_.size() == 1);
  }

  void Write(std::size_t b) override {
    if (!WriteBatch(*batches_[b], request_.outputs, totals_)) write_failed_.store(true);
  }

  bool write_failed() const { return write_failed_.load(); }

 private:
  const ReportRequest& request_;
  InputTotals& totals_;
  std::vector<std::unique_ptr<SequenceBatch>> batches_;
  std::vector<SequenceReporter> reporters_;
  std::atomic<bool> write_failed_{false};
};

// The blocks of the input: read ahead on a thread of its own when the run has several,
// else as they are asked for.
class Blocks {
 public:
  Blocks(ByteSource& input, bool ahead) : input_(input) {
    if (ahead) {
      try {
        prefetch_.emplace(input, kReadBlock);
        return;
      } catch (const std::system_error&) {
        // No thread to be had: read in this one.
      }
    }
    block_.reset(new char[kReadBlock]);
  }

  std::ptrdiff_t Next(const char*& data) {
    if (prefetch_) return prefetch_->Next(data);
    data = block_.get();
    return input_.Read(block_.get(), kReadBlock);
  }

 private:
  ByteSource& input_;
  std::optional<BlockPrefetch> prefetch_;
  std::unique_ptr<char[]> block_;
};

}  // namespace

InputOutcome ReportInput(ByteSource& input, const ReportRequest& request) {
  InputOutcome outcome;
  outcome.totals.keep_scores = request.keep_scores;
  InputJob job(request, outcome.totals);
  // The threads and the memory first: what cannot be had means fewer threads, with
  // nothing read or written yet.
  auto pipeline = std::make_unique<OrderedPipeline>(job, request.threads);
  if (!job.Prepare(*pipeline)) {
    pipeline = std::make_unique<OrderedPipeline>(job, 1);
    if (!job.Prepare(*pipeline)) throw std::bad_alloc();
  }
  Blocks blocks(input, pipeline->workers() > 1);
  const ReportOutputs& out = request.outputs;
  if (out.table != nullptr && request.table_header) {
    WriteTableHeader(*out.table, request.style.table);
  }

  BatchFiller filler(
      {out.table != nullptr, request.style.table.description},
      [&]() -> SequenceBatch& { return job.batch(pipeline->Take()); },
      [&](SequenceBatch& batch) { pipeline->Submit(batch.slot); });
  FastaScanner& scanner = outcome.scanner;
  for (;;) {
    const char* block = nullptr;
    const std::ptrdiff_t n = blocks.Next(block);
    if (n < 0) {
      outcome.status = InputOutcome::Status::kReadFailed;
      break;
    }
    if (n == 0) break;
    ScanFasta(scanner, block, static_cast<std::size_t>(n), filler);
    if (job.write_failed()) {
      outcome.status = InputOutcome::Status::kWriteFailed;
      break;
    }
  }
  if (outcome.status == InputOutcome::Status::kDone) FinishFasta(scanner, filler);
  filler.Flush();
  pipeline->Finish();
  if (outcome.status != InputOutcome::Status::kDone) return outcome;
  if (job.write_failed()) {
    outcome.status = InputOutcome::Status::kWriteFailed;
    return outcome;
  }
  if (out.scores != nullptr) WriteAverageLine(*out.scores, outcome.totals.average);
  outcome.totals.u_letters += scanner.u_letters;
  InputSurvey& survey = outcome.totals.survey;
  survey.comment_lines = scanner.comment_lines;
  survey.first_comment_line = scanner.first_comment_line;
  survey.inline_headers = scanner.inline_headers;
  survey.first_inline_header_line = scanner.first_inline_header_line;
  outcome.totals.ids_cut = filler.ids_cut();
  return outcome;
}

}  // namespace trelba
