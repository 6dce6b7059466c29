#include "driver/input_reader.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <system_error>
#include <vector>

#include "driver/batch_filler.hpp"
#include "driver/ordered_pipeline.hpp"
#include "driver/progress.hpp"
#include "input/interruption.hpp"
#include "reports/column_catalog.hpp"
#include "reports/order_report.hpp"
#include "reports/score_report.hpp"

namespace trelba {

class InputJob final : public PipelineJob {
 public:
  // `count` batches; false when the memory cannot be had.
  bool Prepare(std::size_t count) {
    try {
      for (std::size_t b = 0; b < count; ++b) {
        batches_.push_back(std::make_unique<SequenceBatch>());
        batches_.back()->slot = b;
      }
      return true;
    } catch (const std::bad_alloc&) {
      batches_.clear();
      return false;
    }
  }

  void SetWorkers(unsigned workers) { workers_ = workers; }

  // Takes the request of the next input. A count-only pass leaves the workers' scratch
  // space as it is; an analysing pass keeps it unless the code has changed, and gives it
  // anew only a background whose value has changed.
  void Begin(const ReportRequest& request, InputTotals& totals) {
    outputs_ = request.outputs;
    totals_ = &totals;
    write_failed_.store(false);
    out_of_memory_.store(false);
    count_only_ = request.style.count_only;
    if (count_only_) return;
    const Background* const background = request.style.background;
    const bool same_background = background == nullptr
                                     ? !background_.has_value()
                                     : background_.has_value() && *background_ == *background;
    const bool same_code = !reporters_.empty() && style_.code == request.style.code;
    style_ = request.style;
    style_.indices = request.outputs.table != nullptr || request.keep_scores ||
                     request.style.plot || request.coa != nullptr;
    // The reporters see the job's own copy of the background, whose address does not
    // change from one input to the next while its value may.
    if (!same_background) {
      background_.reset();
      if (background != nullptr) background_.emplace(*background);
    }
    style_.background = background_ ? &*background_ : nullptr;
    if (same_code) {
      if (!same_background) {
        for (SequenceReporter& reporter : reporters_) reporter.TakeBackground();
      }
      return;
    }
    reporters_.clear();
    reporters_.reserve(workers_);
    for (unsigned w = 0; w < workers_; ++w) reporters_.emplace_back(style_);
  }

  SequenceBatch& batch(std::size_t b) { return *batches_[b]; }

  // Memory that runs out on any thread fails the input, never the process: from then on
  // its batches are handed back untouched.
  void Work(std::size_t b, unsigned worker) override {
    if (out_of_memory()) return;
    try {
      if (count_only_) {
        PoolBatch(*batches_[b]);
      } else {
        AnalyseBatch(*batches_[b], reporters_[worker], outputs_, reporters_.size() == 1);
      }
    } catch (const std::bad_alloc&) {
      MarkOutOfMemory();
    }
  }

  void Write(std::size_t b) override {
    if (out_of_memory()) return;
    try {
      if (!WriteBatch(*batches_[b], outputs_, *totals_)) write_failed_.store(true);
    } catch (const std::bad_alloc&) {
      MarkOutOfMemory();
    }
  }

  void MarkOutOfMemory() { out_of_memory_.store(true); }
  bool write_failed() const { return write_failed_.load(); }
  bool out_of_memory() const { return out_of_memory_.load(); }

 private:
  ReportStyle style_;  // of the last analysing pass; the reporters see it at one address
  bool count_only_ = false;
  std::optional<Background> background_;
  ReportOutputs outputs_;
  InputTotals* totals_ = nullptr;
  unsigned workers_ = 1;
  std::vector<std::unique_ptr<SequenceBatch>> batches_;
  std::vector<SequenceReporter> reporters_;
  std::atomic<bool> write_failed_{false};
  std::atomic<bool> out_of_memory_{false};
};

namespace {

// The blocks of one input: read in the caller's thread while they come back short (the
// whole of a small file: no handoff between threads), then ahead by the reader's prefetch
// thread when it has one.
class Blocks {
 public:
  Blocks(ByteSource& input, BlockPrefetch* prefetch, char* block)
      : input_(input), prefetch_(prefetch), block_(block) {}
  ~Blocks() {
    if (started_) prefetch_->Stop();
  }
  Blocks(const Blocks&) = delete;
  Blocks& operator=(const Blocks&) = delete;

  std::ptrdiff_t Next(const char*& data) {
    if (started_) return prefetch_->Next(data);
    data = block_;
    const std::ptrdiff_t n = input_.Read(block_, kReadBlock);
    if (prefetch_ != nullptr && n == static_cast<std::ptrdiff_t>(kReadBlock)) {
      prefetch_->Start(input_);  // reads on while this block is scanned
      started_ = true;
    }
    return n;
  }

 private:
  ByteSource& input_;
  BlockPrefetch* prefetch_;
  char* block_;
  bool started_ = false;
};

// NUL bytes, which no FASTA text holds: UTF-16 or UTF-32 text past the part looked at when
// the input was opened.
void CountNulBytes(const char* block, std::size_t size, std::uint64_t offset, InputSurvey& survey) {
  const char* first = static_cast<const char*>(std::memchr(block, 0, size));
  if (first == nullptr) return;
  if (survey.nul_bytes == 0)
    survey.first_nul_byte = offset + static_cast<std::uint64_t>(first - block) + 1;
  survey.nul_bytes += static_cast<std::uint64_t>(std::count(first, block + size, '\0'));
}

}  // namespace

InputReader::InputReader(unsigned threads, SideWork* side) : side_(side) {
  Build(threads);
}

// The threads and the memory first: what cannot be had means fewer threads (half as many
// each time, down to one), with nothing read or written yet.
void InputReader::Build(unsigned threads) {
  for (unsigned workers = std::max(threads, 1u);; workers /= 2) {
    prefetch_.reset();
    pipeline_.reset();  // its threads end before others are started
    block_.reset();
    job_ = std::make_unique<InputJob>();
    // The batches before the threads, whose stacks the system may keep after they end.
    if (job_->Prepare(OrderedPipeline::BatchesFor(workers))) {
      pipeline_ = std::make_unique<OrderedPipeline>(*job_, workers, side_);
      job_->SetWorkers(pipeline_->workers());
      if (HaveBlocks()) return;
    }
    if (workers == 1) throw std::bad_alloc();
  }
}

// Where the input's blocks are read to: a block for the caller's thread, and a read-ahead
// thread when there are several workers and a core none of them has (when it can be had).
// With a worker on every core, reading in the caller's thread took 4 to 11 % less time
// (plain, gzip and BGZF input on two cores): a thread more only moved each block from one
// core to another. False without the block.
bool InputReader::HaveBlocks() {
  try {
    block_.reset(new char[kReadBlock]);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (pipeline_->workers() > 1 && pipeline_->workers() < DefaultThreadCount()) {
    try {
      prefetch_ = std::make_unique<BlockPrefetch>(kReadAheadBlock);
    } catch (const std::exception&) {
      // No thread or no memory for its blocks: read in this one.
    }
  }
  return true;
}

InputReader::~InputReader() = default;

InputOutcome InputReader::Read(ByteSource& input, const ReportRequest& request) {
  InputOutcome outcome;
  outcome.totals.keep_scores = request.keep_scores;
  outcome.totals.store = request.store;
  outcome.totals.coa = request.style.count_only ? nullptr : request.coa;
  outcome.totals.held_rows = request.held_rows;
  outcome.totals.pool = request.pool || request.store != nullptr;
  if (request.store != nullptr) request.store->Clear();
  outcome.totals.matches.genes = request.match;
  outcome.totals.matches.collect = request.collect;
  outcome.totals.keep_plot = request.style.plot && !request.style.count_only;
  outcome.totals.skip_first_codon = request.style.filters.skip_first_codon;
  // The workers' scratch space for this input's code and background: when it cannot be
  // had, fewer workers.
  for (;;) {
    try {
      job_->Begin(request, outcome.totals);
      break;
    } catch (const std::bad_alloc&) {
      if (pipeline_->workers() == 1) throw;
      Build(pipeline_->workers() / 2);
    }
  }
  InputJob& job = *job_;
  OrderedPipeline* const pipeline = pipeline_.get();
  Blocks blocks(input, prefetch_.get(), block_.get());
  const ReportOutputs& out = request.outputs;
  if (out.table != nullptr && request.table_header) {
    WriteTableHeader(*out.table, request.style.table);
  }

  // A batch goes to the workers as soon as it is full. The last one, handed on at the
  // input's end, is held when no other went before it: an input of one batch (a small
  // file) is analysed in this thread, without a handoff to a worker, and a larger one
  // keeps the workers busy from its first batch on.
  std::optional<std::size_t> held;
  bool ending = false;
  bool submitted = false;
  BatchFiller filler(
      // Descriptions are kept for the marks of RNA and pseudogenes they may hold too.
      // Identifiers for the table's rows and the page's dots.
      {out.table != nullptr || request.style.plot, true,
       out.table != nullptr && request.style.table.Has(ColumnGroup::kDinucleotides),
       request.match != nullptr || request.collect != nullptr},
      [&]() -> SequenceBatch& { return job.batch(pipeline->Take()); },
      [&](SequenceBatch& batch) {
        if (ending && !submitted) {
          held = batch.slot;
          return;
        }
        submitted = true;
        pipeline->Submit(batch.slot);
      });
  InputScanner& scanner = scanner_;
  scanner.Begin(request.annotation);
  std::uint64_t text_offset = 0;  // bytes of text before the block
  try {
    for (;;) {
      const char* block = nullptr;
      const std::ptrdiff_t n = blocks.Next(block);
      if (n < 0) {
        outcome.status = InterruptionRequested() ? InputOutcome::Status::kInterrupted
                                                 : InputOutcome::Status::kReadFailed;
        break;
      }
      if (n == 0) break;
      const auto size = static_cast<std::size_t>(n);
      CountNulBytes(block, size, text_offset, outcome.totals.survey);
      text_offset += size;
      scanner.Scan(block, size, filler);
      if (scanner.error()) {
        outcome.status = InputOutcome::Status::kReadFailed;
        break;
      }
      if (request.progress != nullptr) request.progress->Read(size, filler.sequences());
      if (job.write_failed()) {
        outcome.status = InputOutcome::Status::kWriteFailed;
        break;
      }
      if (InterruptionRequested()) {
        outcome.status = InputOutcome::Status::kInterrupted;
        break;
      }
    }
    if (outcome.status == InputOutcome::Status::kDone) {
      scanner.Finish(filler);
      if (scanner.error()) outcome.status = InputOutcome::Status::kReadFailed;
    }
  } catch (const std::bad_alloc&) {
    // The batches being filled and held are handed back below, untouched, before the
    // input's outputs can go: no worker is left holding one.
    job.MarkOutOfMemory();
  }
  if (prefetch_ != nullptr && prefetch_->out_of_memory()) job.MarkOutOfMemory();
  outcome.cause = scanner.error();
  outcome.scanner = scanner.fasta();
  outcome.format = scanner.format();
  outcome.annotated = scanner.annotated();
  outcome.gff_without_fasta = scanner.gff_without_fasta();
  outcome.first_byte = scanner.first_byte();
  if (const AnnotationTally* tally = scanner.tally()) outcome.annotation = *tally;
  ending = true;
  filler.Flush();
  if (held) pipeline->RunHere(*held);
  pipeline->Drain();
  if (job.out_of_memory()) outcome.status = InputOutcome::Status::kNoMemory;
  if (outcome.status != InputOutcome::Status::kDone) return outcome;
  if (job.write_failed()) {
    outcome.status = InputOutcome::Status::kWriteFailed;
    return outcome;
  }
  if (out.scores != nullptr) WriteAverageLine(*out.scores, outcome.totals.average);
  outcome.totals.u_letters += outcome.scanner.u_letters;
  InputSurvey& survey = outcome.totals.survey;
  survey.comment_lines = outcome.scanner.comment_lines;
  survey.first_comment_line = outcome.scanner.first_comment_line;
  survey.inline_headers = outcome.scanner.inline_headers;
  survey.first_inline_header_line = outcome.scanner.first_inline_header_line;
  survey.long_ids = out.table != nullptr ? filler.ids_cut() : 0;  // cut only in the table
  survey.first_long_id_line = filler.first_cut_line();
  return outcome;
}

InputOutcome ReportInput(ByteSource& input, const ReportRequest& request) {
  InputReader reader(request.threads);
  return reader.Read(input, request);
}

}  // namespace trelba
