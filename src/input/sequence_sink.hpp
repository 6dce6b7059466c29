// Where a reader hands the sequences it cuts from its input: the same calls, in the same
// order, whatever the input's format.
#pragma once

#include <cstddef>
#include <cstdint>

#include "trelba/codons_and_families.hpp"

namespace trelba {

class SequenceSink {
 public:
  virtual ~SequenceSink() = default;
  // Sequence `number` begins; `line` is the input's line that introduces it.
  virtual void Start(SequenceNumber number, std::uint64_t line) = 0;
  virtual void Id(const char* text, std::size_t size) = 0;           // a piece of its name
  virtual void Description(const char* text, std::size_t size) = 0;  // a piece of its description
  virtual void Body(const char* text, std::size_t size) = 0;         // a piece of its letters
  virtual void End() = 0;
};

}  // namespace trelba
