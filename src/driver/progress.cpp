#include "driver/progress.hpp"

#include <cstdio>
#include <string>

#include "driver/message_sink.hpp"

namespace trelba {

Progress::Progress(std::size_t inputs, std::chrono::milliseconds interval)
    : inputs_(inputs), interval_(interval), start_(Clock::now()), told_(start_) {}

void Progress::Read(std::uint64_t bytes, std::uint64_t sequences) {
  bytes_ += bytes;
  sequences_ = sequences;
  if (Clock::now() - told_ >= interval_) Tell();
}

void Progress::InputDone() {
  ++done_;
  sequences_done_ += sequences_;
  sequences_ = 0;
  if (Clock::now() - told_ >= interval_) Tell();
}

void Progress::Finish() {
  Tell();
  SayLine(MessageKind::kProgress, "");  // the line ends
}

void Progress::Tell() {
  told_ = Clock::now();
  const double seconds = std::chrono::duration<double>(told_ - start_).count();
  char line[160];
  std::snprintf(line, sizeof line, "%zu of %zu inputs done, %llu sequences, %.1f MB/s", done_,
                inputs_, static_cast<unsigned long long>(sequences_done_ + sequences_),
                seconds > 0 ? static_cast<double>(bytes_) / 1e6 / seconds : 0.0);
  SayLine(MessageKind::kProgress, line);
}

}  // namespace trelba
