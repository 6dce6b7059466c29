#include "driver/message_sink.hpp"

#include <atomic>

namespace trelba {
namespace {

class DroppedMessages final : public MessageSink {
 public:
  void Begin(MessageKind) override {}
  void Write(std::string_view) override {}
  void End() override {}
};

std::atomic<MessageSink*> process_sink{nullptr};
thread_local MessageSink* scope_sink = nullptr;

}  // namespace

void SetMessageSink(MessageSink* sink) {
  process_sink.store(sink);
}

MessageScope::MessageScope(MessageSink& sink) : previous_(scope_sink) {
  scope_sink = &sink;
}

MessageScope::~MessageScope() {
  scope_sink = previous_;
}

MessageSink& CurrentMessageSink() {
  static DroppedMessages dropped;
  if (scope_sink != nullptr) return *scope_sink;
  MessageSink* const sink = process_sink.load();
  return sink != nullptr ? *sink : dropped;
}

void SayLine(MessageKind kind, std::string_view text) {
  MessageSink& sink = CurrentMessageSink();
  sink.Begin(kind);
  sink.Write(text);
  sink.End();
}

}  // namespace trelba
