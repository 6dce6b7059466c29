#include "driver/thread_pipeline.hpp"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "analysis/score.hpp"
#include "input/sequence_reader.hpp"
#include "input/sequence_splitter.hpp"
#include "reports/order_report.hpp"
#include "reports/output_buffer.hpp"
#include "reports/table_report.hpp"

namespace trelba {
namespace {

constexpr std::size_t kBatchSequences = 256;
// Room for a batch's text of each output, enough for 256 genes of ordinary counts: the
// writer hands it to the report's file from where the worker wrote it. Text beyond it
// overflows into a string, copied once more.
constexpr std::size_t kBatchOrderText = 96 << 10;
constexpr std::size_t kBatchScoreText = 16 << 10;
constexpr std::size_t kBatchCountText = 192 << 10;
constexpr std::size_t kBatchTableText = 96 << 10;
// A batch takes sequences until their text reaches this size; a longer sequence is
// counted by the reading thread as it arrives, so that memory does not grow with it.
constexpr std::size_t kBatchText = 1 << 18;
constexpr unsigned kMaxWorkers = 8;

// Does nothing: bodies hold no '>', so the reader never ends a sequence in them.
struct NoSequenceEnds {
  void operator()(SequenceNumber, const CodonCounts&, std::string_view) const {}
};

struct Record {
  SequenceNumber number = 0;
  std::string id;  // its capacity is reused from batch to batch
  // The body's place in the batch's text, or its counts when it was too long to keep.
  std::size_t body_begin = 0;
  std::size_t body_end = 0;
  bool counted = false;
  CodonCounts counts{};
};

// Text of one output of one batch: in the buffer, and in the overflow before it when the
// buffer filled.
struct BatchText {
  explicit BatchText(std::size_t capacity) : buffer(overflow, capacity) {}
  StringSink overflow;
  OutputBuffer buffer;
};

// A run of consecutive sequences and, once a worker has been at it, their outputs.
struct Batch {
  std::uint64_t position = 0;  // 0 for the first batch of the input, 1 for the next...
  std::vector<Record> records = std::vector<Record>(kBatchSequences);
  std::size_t size = 0;
  std::string text;              // the bodies of the records that hold no counts
  std::uint64_t u_letters = 0;   // letters U or u in the bodies
  BatchText order{kBatchOrderText}, scores{kBatchScoreText}, counts{kBatchCountText},
      table{kBatchTableText};
  std::vector<double> score_values;
  InputSurvey survey;

  // Where a worker writes: the batch's own texts, for the outputs the run writes.
  ReportOutputs Outputs(const ReportOutputs& run) {
    return {run.order ? &order.buffer : nullptr, run.scores ? &scores.buffer : nullptr,
            run.counts ? &counts.buffer : nullptr, run.table ? &table.buffer : nullptr};
  }
};

class Pipeline {
 public:
  Pipeline(const GeneticCode& code, const ReportOutputs& outputs, unsigned workers)
      : code_(code), outputs_(outputs) {
    // Enough batches for every worker to hold one while the reader fills another and the
    // writer empties a third.
    batches_.resize(workers + 3);
    for (auto& batch : batches_) {
      batch = std::make_unique<Batch>();
      batch->score_values.reserve(kBatchSequences);
      batch->text.reserve(2 * kBatchText);
      free_.push_back(batch.get());
    }
    try {
      for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {
      Close();  // a thread could not be had: join those that were
      throw;
    }
  }

  ~Pipeline() { Close(); }

  // A batch for the reader to fill, when one is free.
  Batch* TakeFree() {
    std::unique_lock lock(mutex_);
    batch_freed_.wait(lock, [&] { return !free_.empty(); });
    Batch* batch = free_.front();
    free_.pop_front();
    batch->size = 0;
    batch->text.clear();
    batch->u_letters = 0;
    batch->position = next_position_++;
    return batch;
  }

  void Submit(Batch* batch) {
    {
      std::lock_guard lock(mutex_);
      work_.push_back(batch);
    }
    work_ready_.notify_one();
  }

  // Lets the workers finish what they hold and waits for them.
  void Close() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    work_ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
    threads_.clear();
  }

  bool write_failed() const { return write_failed_.load(std::memory_order_relaxed); }
  const AverageScore& average() const { return average_; }
  const InputSurvey& survey() const { return survey_; }
  std::uint64_t u_letters() const { return u_letters_; }

 private:
  void Work() {
    SequenceReporter reporter(code_);
    for (;;) {
      Batch* batch = nullptr;
      {
        std::unique_lock lock(mutex_);
        work_ready_.wait(lock, [&] { return closed_ || !work_.empty(); });
        if (work_.empty()) return;
        batch = work_.front();
        work_.pop_front();
      }
      Analyse(*batch, reporter);
      bool take_turn = false;
      {
        std::lock_guard lock(mutex_);
        done_.push_back(batch);
        take_turn = !writing_;
        writing_ = true;
      }
      if (take_turn) WriteReadyBatches();
    }
  }

  void Analyse(Batch& batch, SequenceReporter& reporter) {
    const ReportOutputs out = batch.Outputs(outputs_);
    batch.score_values.clear();
    batch.survey = InputSurvey{};
    for (std::size_t i = 0; i < batch.size; ++i) {
      Record& record = batch.records[i];
      if (!record.counted) {
        SequenceReader reader;
        ReadBytes(reader, batch.text.data() + record.body_begin,
                  record.body_end - record.body_begin, NoSequenceEnds{});
        record.counts = reader.counts;
        batch.u_letters += reader.u_letters;
      }
      batch.survey.Add(record.counts);
      batch.score_values.push_back(reporter.Report(out, record.number, record.counts, record.id));
    }
  }

  // Writes every finished batch that is next in input order, for the worker that holds the
  // writing turn. One worker writes at a time; a worker that finishes a batch while another
  // writes leaves it to that one and goes back to analysing, never waiting: the writer
  // looks for the next batch once more, under the same lock, before it gives up the turn.
  void WriteReadyBatches() {
    for (;;) {
      Batch* batch = nullptr;
      {
        std::lock_guard lock(mutex_);
        const auto next = std::find_if(done_.begin(), done_.end(),
                                       [&](const Batch* b) { return b->position == next_write_; });
        if (next == done_.end()) {
          writing_ = false;
          return;
        }
        batch = *next;
        done_.erase(next);
      }
      WriteBatch(*batch);
      ++next_write_;
      {
        std::lock_guard lock(mutex_);
        free_.push_back(batch);
      }
      batch_freed_.notify_one();
    }
  }

  void WriteBatch(Batch& batch) {
    const struct {
      OutputBuffer* out;
      BatchText* text;
    } pairs[] = {{outputs_.order, &batch.order},
                 {outputs_.scores, &batch.scores},
                 {outputs_.counts, &batch.counts},
                 {outputs_.table, &batch.table}};
    for (const auto& [out, text] : pairs) {
      if (out == nullptr) continue;
      out->Append(text->overflow.text);
      text->overflow.text.clear();
      out->Append(text->buffer.pending());
      text->buffer.Clear();
      if (out->failed()) write_failed_.store(true, std::memory_order_relaxed);
    }
    // Summed in input order, so that the average has the bits of a one-thread run.
    for (const double score : batch.score_values) average_.Add(score);
    survey_.Merge(batch.survey);
    u_letters_ += batch.u_letters;
  }

  const GeneticCode& code_;
  const ReportOutputs outputs_;
  std::vector<std::unique_ptr<Batch>> batches_;
  std::vector<std::thread> threads_;

  std::mutex mutex_;  // guards the queues, next_position_, closed_ and writing_
  std::condition_variable work_ready_;
  std::condition_variable batch_freed_;
  std::deque<Batch*> free_;
  std::deque<Batch*> work_;
  std::vector<Batch*> done_;
  std::uint64_t next_position_ = 0;
  bool closed_ = false;
  bool writing_ = false;  // a worker holds the writing turn

  // Touched only by the worker that holds the writing turn (handed on under mutex_).
  std::uint64_t next_write_ = 0;
  AverageScore average_;
  InputSurvey survey_;
  std::uint64_t u_letters_ = 0;
  std::atomic<bool> write_failed_{false};
};

// Reads the input on a thread of its own (where decompression happens too), a few blocks
// ahead of the parser.
class InputPrefetch {
 public:
  explicit InputPrefetch(InputFile& input) : input_(input) {
    for (auto& block : blocks_) {
      block.data.reset(new char[kReadBlock]);
      free_.push_back(&block);
    }
    thread_ = std::thread([this] { Fill(); });
  }

  ~InputPrefetch() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  // The next block of input: its size, 0 at the end of the input, -1 after a read error.
  // `data` stays valid until the next call.
  std::ptrdiff_t Next(const char*& data) {
    std::unique_lock lock(mutex_);
    if (in_use_ != nullptr) free_.push_back(in_use_);
    in_use_ = nullptr;
    changed_.notify_all();
    changed_.wait(lock, [&] { return !filled_.empty(); });
    in_use_ = filled_.front();
    filled_.pop_front();
    data = in_use_->data.get();
    return in_use_->size;
  }

 private:
  struct Block {
    std::unique_ptr<char[]> data;
    std::ptrdiff_t size = 0;
  };

  void Fill() {
    for (;;) {
      Block* block = nullptr;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || !free_.empty(); });
        if (stop_) return;
        block = free_.front();
        free_.pop_front();
      }
      block->size = input_.Read(block->data.get(), kReadBlock);
      {
        std::lock_guard lock(mutex_);
        filled_.push_back(block);
      }
      changed_.notify_all();
      if (block->size <= 0) return;  // the end, or an error: nothing more to read
    }
  }

  InputFile& input_;
  std::array<Block, 4> blocks_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Block*> free_;
  std::deque<Block*> filled_;
  Block* in_use_ = nullptr;
  bool stop_ = false;
  std::thread thread_;
};

// Puts the sequences that the splitter cuts into batches, and hands each full batch on.
class BatchFiller {
 public:
  explicit BatchFiller(Pipeline& pipeline) : pipeline_(pipeline), batch_(pipeline.TakeFree()) {}

  void Start(SequenceNumber number) {
    Record& record = batch_->records[batch_->size];
    record.number = number;
    record.id.clear();
    record.counted = false;
    record.body_begin = batch_->text.size();
    long_ = false;
  }

  void Id(const char* text, std::size_t size) { batch_->records[batch_->size].id.append(text, size); }

  void Body(const char* text, std::size_t size) {
    Record& record = batch_->records[batch_->size];
    if (!long_ && batch_->text.size() - record.body_begin + size > kBatchText) {
      // Too long to keep: count what is kept so far, and the rest as it comes.
      long_reader_ = SequenceReader{};
      ReadBytes(long_reader_, batch_->text.data() + record.body_begin,
                batch_->text.size() - record.body_begin, NoSequenceEnds{});
      batch_->text.resize(record.body_begin);
      long_ = true;
    }
    if (long_) {
      ReadBytes(long_reader_, text, size, NoSequenceEnds{});
    } else {
      batch_->text.append(text, size);
    }
  }

  void End() {
    Record& record = batch_->records[batch_->size++];
    record.body_end = batch_->text.size();
    if (long_) {
      record.counts = long_reader_.counts;
      record.counted = true;
      batch_->u_letters += long_reader_.u_letters;
      long_ = false;
    }
    if (batch_->size == kBatchSequences || batch_->text.size() >= kBatchText) {
      pipeline_.Submit(batch_);
      batch_ = pipeline_.TakeFree();
    }
  }

  // Hands on the last batch, full or not.
  void Flush() {
    pipeline_.Submit(batch_);
    batch_ = nullptr;
  }

 private:
  Pipeline& pipeline_;
  Batch* batch_;
  bool long_ = false;
  SequenceReader long_reader_;
};

}  // namespace

unsigned DefaultThreadCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores <= 1 ? 1 : std::min(cores, 4u);
}

InputOutcome AnalyseInputThreaded(InputFile& input, const GeneticCode& code,
                                  const ReportOutputs& outputs, unsigned threads) {
  InputOutcome outcome;
  // The threads first: if one cannot be had, nothing has been read or written yet.
  Pipeline pipeline(code, outputs, std::clamp(threads, 1u, kMaxWorkers));
  InputPrefetch prefetch(input);
  if (outputs.table != nullptr) WriteTableHeader(*outputs.table);

  BatchFiller filler(pipeline);
  SequenceSplitter splitter;
  for (;;) {
    const char* block = nullptr;
    const std::ptrdiff_t n = prefetch.Next(block);
    if (n < 0) {
      outcome.status = InputOutcome::Status::kReadFailed;
      break;
    }
    if (n == 0) break;
    SplitBytes(splitter, block, static_cast<std::size_t>(n), filler);
    if (pipeline.write_failed()) {
      outcome.status = InputOutcome::Status::kWriteFailed;
      break;
    }
  }
  outcome.any_header = splitter.sequence != 0;
  if (outcome.status == InputOutcome::Status::kDone) FinishSplitting(splitter, filler);
  filler.Flush();
  pipeline.Close();
  if (outcome.status != InputOutcome::Status::kDone) return outcome;
  if (pipeline.write_failed()) {
    outcome.status = InputOutcome::Status::kWriteFailed;
    return outcome;
  }
  if (outputs.scores != nullptr) WriteAverageLine(*outputs.scores, pipeline.average());
  outcome.survey = pipeline.survey();
  outcome.u_letters = splitter.u_letters + pipeline.u_letters();
  return outcome;
}

}  // namespace trelba
