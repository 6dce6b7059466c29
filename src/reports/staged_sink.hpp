// Output held back until it is known to be wanted: the table rows of one input, which go
// to the table only when the whole input has been read. Up to a megabyte is kept in
// memory, the rest in an anonymous temporary file (gone with the process), so memory does
// not grow with the input.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "reports/output_buffer.hpp"

namespace trelba {

class StagedSink final : public ByteSink {
 public:
  StagedSink() = default;
  ~StagedSink() override;
  StagedSink(const StagedSink&) = delete;
  StagedSink& operator=(const StagedSink&) = delete;

  bool Write(const char* data, std::size_t size) override;
  // Hands everything held to `out` and empties itself; false when it could not all be
  // read back (or an earlier write failed), the cause kept in error() until Drop().
  bool Release(OutputBuffer& out);
  // The same for held rows (lines), each given more at its end: `end_row(out)` is called
  // where each line end was, and the line end follows what it appends.
  bool ReleaseRows(OutputBuffer& out, const std::function<void(OutputBuffer&)>& end_row);
  // Drops everything held, and any failure.
  void Drop();

 private:
  // Hands everything held to `take`, in order, in pieces.
  bool ReleaseTo(const std::function<void(std::string_view)>& take);

  std::string memory_;
  std::FILE* spill_ = nullptr;  // the rest, when there is more than memory holds
};

}  // namespace trelba
