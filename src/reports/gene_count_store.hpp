// The 64 codon counts of every sequence of one input, kept in input order for the columns
// that need the whole input first (those against a reference set), each with a byte of
// marks that the search for a reference set reads and the p-value of its excess. A
// sequence is kept as its marks, then its codons that occur, each with its count (a byte of
// how many, then the codon's byte and its count for each), or, when more than half of the
// 64 occur, the 64 counts; a count takes one byte below 128, more as needed (LEB128); then
// the p-value's eight bytes. So a sequence takes little more than its text did. Up to
// kHeldBytes in memory, the rest in a file of the temporary folder
// (reports/spill_file.hpp), so that memory does not grow with the input. Read back from the
// start as often as needed.
#pragma once

#include <cstdint>
#include <string>

#include "reports/spill_file.hpp"
#include "trelba/codons_and_families.hpp"

namespace trelba {

class GeneCountStore {
 public:
  static constexpr std::size_t kHeldBytes = kHeldInMemory;

  GeneCountStore() = default;
  GeneCountStore(const GeneCountStore&) = delete;
  GeneCountStore& operator=(const GeneCountStore&) = delete;

  // Empties the store for the next input, giving its memory back.
  void Clear();
  // Adds the next sequence's counts (elements 1 to 64). False when they cannot be kept
  // (the file cannot be written), and every later call.
  bool Add(const CodonCounts& counts, std::uint8_t marks = 0, double excess_p = 0.0);
  std::uint64_t size() const { return size_; }
  bool failed() const { return failed_; }
  // Why the file failed, when it did.
  const FailureCause& error() const { return spill_.error(); }
  // Bytes in the temporary folder.
  std::uint64_t spilled_bytes() const { return spill_.size(); }

  // Reads the sequences back in order, from the first.
  class Reader {
   public:
    explicit Reader(GeneCountStore& store);
    // The next sequence's counts (element 0 left 0), marks and excess p-value; false at
    // the end or when the file cannot be read back (failed() then).
    bool Next(CodonCounts& counts, std::uint8_t& marks, double& excess_p);
    bool Next(CodonCounts& counts, std::uint8_t& marks) {
      double excess_p = 0.0;
      return Next(counts, marks, excess_p);
    }
    bool Next(CodonCounts& counts) {
      std::uint8_t marks = 0;
      return Next(counts, marks);
    }
    bool failed() const { return failed_; }

   private:
    bool Fill();
    GeneCountStore& store_;
    std::string block_;       // bytes read from the file and not yet used
    std::size_t at_ = 0;      // in block_, or in the store's memory
    bool in_memory_ = false;  // reading the store's memory (after the file)
    std::uint64_t read_ = 0;  // sequences read
    std::uint64_t file_left_;
    bool failed_ = false;
  };

 private:
  bool Spill();

  std::string held_;  // the latest sequences
  SpillFile spill_;   // the earlier ones
  std::uint64_t size_ = 0;
  bool failed_ = false;
};

}  // namespace trelba
