#include "driver/standard_error_sink.hpp"

#include <cstdio>

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
    if (kind == MessageKind::kUsage) Put("Trelba: ");
    if (kind == MessageKind::kWarning) Put("Warning: ");
  }
  void Write(std::string_view piece) override { Put(piece); }
  void End() override {
    std::fputc('\n', stderr);
    if (kind_ == MessageKind::kUsage) Put(kUsageErrorText);
    std::fflush(stderr);
  }

 private:
  MessageKind kind_ = MessageKind::kError;
};

}  // namespace

MessageSink& StandardErrorSink() {
  static StandardError sink;
  return sink;
}

}  // namespace trelba
