// Filling batches: the scanner's sink, which puts the sequences it cuts into batches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "driver/sequence_batch.hpp"
#include "input/codon_reader.hpp"
#include "input/dinucleotide_reader.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

// The scanner's sink: puts the sequences it cuts into batches, and hands each full batch
// on through `submit`. A body too long to keep is counted as it arrives, so that memory
// does not grow with it.
class BatchFiller {
 public:
  struct Wants {
    bool ids = false;            // keep identifiers (for the table)
    bool descriptions = false;   // keep descriptions
    bool dinucleotides = false;  // count a long body's pairs of bases too
    bool digests = false;        // digest the letters of bodies too long to keep
  };
  // `take()` gives a free batch, `submit(batch)` hands a full one on.
  template <class Take, class Submit>
  BatchFiller(Wants wants, Take&& take, Submit&& submit)
      : wants_(wants), take_(take), submit_(submit) {}

  void Start(SequenceNumber number, std::uint64_t line);
  void Id(const char* text, std::size_t size);
  void Description(const char* text, std::size_t size);
  void Body(const char* text, std::size_t size);
  void End();
  // Hands on the last batch, full or not.
  void Flush();

  std::uint64_t ids_cut() const { return ids_cut_; }
  // Sequences begun so far, in any format (for progress).
  std::uint64_t sequences() const { return sequences_; }
  std::uint64_t first_cut_line() const { return first_cut_line_; }

 private:
  SequenceBatch& Current();

  Wants wants_;
  std::function<SequenceBatch&()> take_;
  std::function<void(SequenceBatch&)> submit_;
  SequenceBatch* batch_ = nullptr;
  bool long_ = false;
  unsigned first_letters_ = 0;  // letters of the body's first triple seen so far
  std::uint8_t first_[3] = {};
  bool id_cut_ = false;
  CodonReader long_reader_;
  DinucleotideReader long_pairs_;
  std::uint64_t ids_cut_ = 0;
  std::uint64_t sequences_ = 0;
  std::uint64_t first_cut_line_ = 0;
  std::size_t kept_ = 0;  // bytes of identifiers and descriptions in the batch
};

}  // namespace trelba
