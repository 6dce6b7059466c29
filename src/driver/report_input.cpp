#include "driver/report_input.hpp"

#include <atomic>
#include <cmath>
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

class InputJob final : public PipelineJob {
 public:
  // Batches and workers for `pipeline`; false when the memory cannot be had.
  bool Prepare(const OrderedPipeline& pipeline) {
    try {
      for (std::size_t b = 0; b < pipeline.batches(); ++b) {
        batches_.push_back(std::make_unique<SequenceBatch>());
        batches_.back()->slot = b;
      }
      workers_ = pipeline.workers();
      return true;
    } catch (const std::bad_alloc&) {
      batches_.clear();
      return false;
    }
  }

  // Takes the request of the next input. The workers' scratch space is kept unless the
  // code, the background or the kind of work has changed.
  void Begin(const ReportRequest& request, InputTotals& totals) {
    const Background* const background = request.style.background;
    const bool same_background = background == nullptr
                                     ? !background_.has_value()
                                     : background_.has_value() && *background_ == *background;
    const bool same = !reporters_.empty() && style_.code == request.style.code && same_background &&
                      style_.count_only == request.style.count_only;
    style_ = request.style;
    // The reporters see the job's own copy of the background, whose address does not
    // change from one input to the next while its value may.
    if (!same_background) {
      background_.reset();
      if (background != nullptr) background_.emplace(*background);
    }
    style_.background = background_ ? &*background_ : nullptr;
    outputs_ = request.outputs;
    totals_ = &totals;
    write_failed_.store(false);
    if (same) return;
    reporters_.clear();
    reporters_.reserve(workers_);
    for (unsigned w = 0; w < workers_; ++w) reporters_.emplace_back(style_);
  }

  SequenceBatch& batch(std::size_t b) { return *batches_[b]; }

  void Work(std::size_t b, unsigned worker) override {
    AnalyseBatch(*batches_[b], reporters_[worker], outputs_, reporters_.size() == 1);
  }

  void Write(std::size_t b) override {
    if (!WriteBatch(*batches_[b], outputs_, *totals_)) write_failed_.store(true);
  }

  bool write_failed() const { return write_failed_.load(); }

 private:
  ReportStyle style_;  // the reporters see it: same address for every input
  std::optional<Background> background_;
  ReportOutputs outputs_;
  InputTotals* totals_ = nullptr;
  unsigned workers_ = 1;
  std::vector<std::unique_ptr<SequenceBatch>> batches_;
  std::vector<SequenceReporter> reporters_;
  std::atomic<bool> write_failed_{false};
};

namespace {

// The blocks of one input: read ahead by the reader's prefetch thread when it has one,
// else as they are asked for.
class Blocks {
 public:
  Blocks(ByteSource& input, BlockPrefetch* prefetch, char* block)
      : input_(input), prefetch_(prefetch), block_(block) {
    if (prefetch_ != nullptr) prefetch_->Start(input);
  }
  ~Blocks() {
    if (prefetch_ != nullptr) prefetch_->Stop();
  }
  Blocks(const Blocks&) = delete;
  Blocks& operator=(const Blocks&) = delete;

  std::ptrdiff_t Next(const char*& data) {
    if (prefetch_ != nullptr) return prefetch_->Next(data);
    data = block_;
    return input_.Read(block_, kReadBlock);
  }

 private:
  ByteSource& input_;
  BlockPrefetch* prefetch_;
  char* block_;
};

}  // namespace

InputReader::InputReader(unsigned threads) : job_(std::make_unique<InputJob>()) {
  // The threads and the memory first: what cannot be had means fewer threads, with
  // nothing read or written yet.
  pipeline_ = std::make_unique<OrderedPipeline>(*job_, threads);
  if (!job_->Prepare(*pipeline_)) {
    pipeline_ = std::make_unique<OrderedPipeline>(*job_, 1);
    if (!job_->Prepare(*pipeline_)) throw std::bad_alloc();
  }
  if (pipeline_->workers() > 1) {
    try {
      prefetch_ = std::make_unique<BlockPrefetch>(kReadBlock);
      return;
    } catch (const std::system_error&) {
      // No thread to be had: read in this one.
    }
  }
  block_.reset(new char[kReadBlock]);
}

InputReader::~InputReader() = default;

InputOutcome InputReader::Read(ByteSource& input, const ReportRequest& request) {
  InputOutcome outcome;
  outcome.totals.keep_scores = request.keep_scores;
  outcome.totals.keep_plot = request.style.plot && !request.style.count_only;
  InputJob& job = *job_;
  OrderedPipeline* const pipeline = pipeline_.get();
  job.Begin(request, outcome.totals);
  Blocks blocks(input, prefetch_.get(), block_.get());
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
  pipeline->Drain();
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
  survey.long_ids = filler.ids_cut();
  survey.first_long_id_line = filler.first_cut_line();
  return outcome;
}

PageInput PageInputOf(std::string_view file, const InputOutcome& outcome) {
  const InputTotals& totals = outcome.totals;
  PageInput page;
  page.file = file;
  page.sequences = outcome.scanner.sequence;
  page.codons = totals.coding.codons;
  page.average = totals.average.empty() ? std::nan("") : totals.average.value();
  page.gc = GcContent(totals.coding);
  page.gc3 = Gc3Content(totals.coding);
  page.internal_stop_sequences = totals.survey.internal_stop_sequences;
  page.partial_sequences = totals.survey.partial_sequences;
  page.plot = &totals.plot;
  return page;
}

InputOutcome ReportInput(ByteSource& input, const ReportRequest& request) {
  InputReader reader(request.threads);
  return reader.Read(input, request);
}

}  // namespace trelba
