#include "driver/sequence_batch.hpp"

namespace trelba {
namespace {

// Room for a batch's text of each output, enough for 256 genes of ordinary counts: the
// writer hands it to the output from where the worker wrote it. Text beyond it overflows
// into a string, copied once more.
constexpr std::size_t kBatchOrderText = 96 << 10;
constexpr std::size_t kBatchScoreText = 16 << 10;
constexpr std::size_t kBatchCountText = 192 << 10;
constexpr std::size_t kBatchTableText = 96 << 10;

}  // namespace

SequenceBatch::SequenceBatch()
    : records(kBatchSequences),
      order(kBatchOrderText),
      scores(kBatchScoreText),
      counts(kBatchCountText),
      table(kBatchTableText) {
  text.reserve(2 * kBatchText);
  score_values.reserve(kBatchSequences);
  excess_values.reserve(kBatchSequences);
  enc_values.reserve(kBatchSequences);
}

}  // namespace trelba
