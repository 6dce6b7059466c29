#include "driver/messages.hpp"

#include "driver/message_sink.hpp"
#include "driver/run.hpp"

namespace trelba {
namespace {

// Per thread: each library call counts its own.
thread_local unsigned long warnings_given = 0;

}  // namespace

int UsageError(std::string_view what) {
  SayLine(MessageKind::kUsage, PrintableName(what));
  return kFailureStatus;
}

void Warning(std::string_view text) {
  SayLine(MessageKind::kWarning, PrintableName(text));
  ++warnings_given;
}

unsigned long WarningsGiven() {
  return warnings_given;
}

}  // namespace trelba
