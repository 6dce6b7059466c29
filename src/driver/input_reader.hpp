// One input from its first byte to its last: cut into sequences, analysed batch by batch on
// the pipeline's workers, every sequence's outputs written in input order.
#pragma once

#include <cstdint>
#include <memory>

#include "codes/genetic_code.hpp"
#include "driver/batch_analysis.hpp"
#include "driver/batch_writing.hpp"
#include "input/byte_source.hpp"
#include "input/fasta_scanner.hpp"
#include "input/input_scanner.hpp"
#include "reports/side_work.hpp"

namespace trelba {

// Size of the blocks the input is read in.
inline constexpr std::size_t kReadBlock = 1 << 16;
// Size of the blocks the read-ahead thread reads: fewer, larger handoffs between threads
// (each can wake a sleeping thread; 64 KiB blocks made a run over 50 MB 13 % slower).
inline constexpr std::size_t kReadAheadBlock = 4 * kReadBlock;

struct InputOutcome {
  // kInterrupted: the library's caller asked to stop (input/interruption.hpp).
  enum class Status { kDone, kReadFailed, kWriteFailed, kNoMemory, kInterrupted };
  Status status = Status::kDone;
  InputTotals totals;
  FastaScanner scanner;  // what the scanner saw: headers, comment lines, inline headers
  bool any_header() const { return scanner.sequence != 0; }
  TextFormat format = TextFormat::kFasta;
  bool annotated = false;          // the sequences were cut from an annotation
  bool gff_without_fasta = false;  // a GFF3 input that carried no genome
  int first_byte = -1;             // the text's first byte that is no whitespace (-1: none)
  AnnotationTally annotation;      // of an annotated input
  FailureCause cause;              // of a failed read, when the reading itself knows it
};

// What an input's error line gives as the cause of `status` (not kDone): the caller's
// interruption, memory that ran out, or the input's own cause.
inline FailureCause CauseOf(InputOutcome::Status status, const ByteSource& input) {
  if (status == InputOutcome::Status::kInterrupted) return {0, "interrupted"};
  return status == InputOutcome::Status::kNoMemory ? FailureCause{0, kOutOfMemory} : input.error();
}

class Progress;

struct ReportRequest {
  ReportStyle style;
  ReportOutputs outputs;
  unsigned threads = 1;                   // workers that analyse
  bool table_header = true;               // begin the table with its header row
  bool keep_scores = false;               // keep every score in the outcome (for the median)
  GeneCountStore* store = nullptr;        // keeps every sequence's counts (InputTotals::store)
  CoaSums* coa = nullptr;                 // adds every sequence to a correspondence analysis
  StagedSink* held_rows = nullptr;        // holds the table's rows (InputTotals::held_rows)
  GffAnnotation* annotation = nullptr;    // --gff: the input is the genome it annotates
  bool pool = false;                      // add every sequence's counts up (InputTotals::pooled)
  const ReferenceGenes* match = nullptr;  // find the reference file's genes among the sequences
  ReferenceGenes* collect = nullptr;      // add every sequence to the reference file's genes
  Progress* progress = nullptr;           // told of every block read
};

class BlockPrefetch;
class InputJob;
class OrderedPipeline;

// The pipeline with its threads, batches and workers' scratch space, kept from one input to
// the next, so that many small inputs cost about what their concatenation does.
class InputReader {
 public:
  // Starts `threads` workers, or fewer when threads or memory cannot be had. With `side`,
  // they also take its pieces of work (reports/side_work.hpp) whenever they would wait.
  explicit InputReader(unsigned threads, SideWork* side = nullptr);
  ~InputReader();
  InputReader(const InputReader&) = delete;
  InputReader& operator=(const InputReader&) = delete;

  // Reads `input` to its end and writes each sequence's outputs in input order, the
  // table's header first and the average line last; every thread count gives the same
  // bytes. Stops at the first read error or failed output. The request's thread count is
  // the reader's, not this one's.
  InputOutcome Read(ByteSource& input, const ReportRequest& request);

 private:
  void Build(unsigned threads);
  bool HaveBlocks();

  SideWork* side_;
  std::unique_ptr<InputJob> job_;
  std::unique_ptr<OrderedPipeline> pipeline_;
  std::unique_ptr<BlockPrefetch> prefetch_;  // with several workers
  InputScanner scanner_;
  std::unique_ptr<char[]> block_;  // else
};

// The same for an outcome whose reading may know the cause itself (a store of an
// annotated input that could not be kept).
inline FailureCause CauseOf(const InputOutcome& outcome, const ByteSource& input) {
  return outcome.cause && outcome.status == InputOutcome::Status::kReadFailed
             ? outcome.cause
             : CauseOf(outcome.status, input);
}

// One input read by a reader of its own.
InputOutcome ReportInput(ByteSource& input, const ReportRequest& request);

}  // namespace trelba
