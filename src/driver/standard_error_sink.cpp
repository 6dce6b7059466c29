#include "driver/standard_error_sink.hpp"

#include <cstdio>
#include <string>

#include "driver/help_text.hpp"

namespace trelba {
namespace {

void Put(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
}

class StandardError final : public MessageSink {
 public:
  void Begin(MessageKind kind) override {
    kind_ = kind;
    dropped_ = (kind == MessageKind::kWarning && !warnings_) ||
               (kind == MessageKind::kProgress && progress_ == ProgressDisplay::kNone);
    if (dropped_) return;
    if (kind == MessageKind::kProgress) {
      progress_line_.clear();
      return;
    }
    ClearProgress();
    if (kind == MessageKind::kUsage) Put("Trelba: ");
    if (kind == MessageKind::kWarning) Put("Warning: ");
  }
  void Write(std::string_view piece) override {
    if (dropped_) return;
    if (kind_ == MessageKind::kProgress) {
      progress_line_.append(piece);
    } else {
      Put(piece);
    }
  }
  void End() override {
    if (dropped_) return;
    if (kind_ == MessageKind::kProgress) {
      ShowProgress();
    } else {
      std::fputc('\n', stderr);
      if (kind_ == MessageKind::kUsage) Put(kUsageErrorText);
    }
    std::fflush(stderr);
  }

  bool warnings_ = true;
  ProgressDisplay progress_ = ProgressDisplay::kNone;

 private:
  // A progress line ends with its own line end, or is drawn over the one before it
  // (spaces blank what is left of a longer one: no terminal escapes, which not every
  // console takes). "" ends it: a redrawn line stays, and the next message starts below.
  void ShowProgress() {
    if (progress_ == ProgressDisplay::kLines) {
      if (!progress_line_.empty()) Put(progress_line_ + '\n');
      return;
    }
    if (progress_line_.empty()) {
      if (drawn_ != 0) Put("\n");
      drawn_ = 0;
      return;
    }
    std::string line = '\r' + progress_line_;
    if (drawn_ > progress_line_.size()) line.append(drawn_ - progress_line_.size(), ' ');
    Put(line);
    drawn_ = progress_line_.size();
  }

  // A message takes the place of a redrawn progress line (without allocating: the message
  // may be that memory ran out).
  void ClearProgress() {
    if (drawn_ == 0) return;
    std::fputc('\r', stderr);
    for (std::size_t i = 0; i < drawn_; ++i) std::fputc(' ', stderr);
    std::fputc('\r', stderr);
    drawn_ = 0;
  }

  MessageKind kind_ = MessageKind::kError;
  bool dropped_ = false;
  std::string progress_line_;
  std::size_t drawn_ = 0;  // characters of the progress line on the terminal's line
};

StandardError& Sink() {
  static StandardError sink;
  return sink;
}

}  // namespace

MessageSink& StandardErrorSink() {
  return Sink();
}

void SetStandardErrorStyle(bool warnings, ProgressDisplay progress) {
  Sink().warnings_ = warnings;
  Sink().progress_ = progress;
}

}  // namespace trelba
