// What a run has done so far, told through the message sink while it runs (--progress):
// the inputs done of all, the sequences read and the speed of reading in MB of text a
// second. Only the clock decides when a line is told; what is told changes no report and
// nothing else that is said. Called from the reading thread only.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace trelba {

class Progress {
 public:
  // A run of `inputs` inputs, told at most once every `interval`.
  Progress(std::size_t inputs, std::chrono::milliseconds interval);

  // `bytes` more of the input's text read; `sequences` begun in the input so far.
  void Read(std::uint64_t bytes, std::uint64_t sequences);
  // The input is done (read whole or failed).
  void InputDone();
  // Tells the last line, and ends it.
  void Finish();

 private:
  void Tell();

  using Clock = std::chrono::steady_clock;
  std::size_t inputs_;
  std::chrono::milliseconds interval_;
  Clock::time_point start_;
  Clock::time_point told_;
  std::size_t done_ = 0;
  std::uint64_t sequences_done_ = 0;  // in the inputs done
  std::uint64_t sequences_ = 0;       // in the input being read
  std::uint64_t bytes_ = 0;
};

}  // namespace trelba
