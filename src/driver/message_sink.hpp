// Where the program's messages go: the command line's main sends them to standard error
// (standard_error_sink.hpp); a caller of the library (api/) takes them itself. Nothing
// below this writes to a stream of the process.
#pragma once

#include <string_view>

namespace trelba {

enum class MessageKind {
  kError,     // "Error opening file: genes.fa", an output collision, ...
  kUsage,     // what is wrong with the command line
  kWarning,   // one warning line
  kProgress,  // how far the run is (driver/progress.hpp); "" ends the progress line
};

// Takes a message line by line: Begin, its text in pieces (without the line's end), End.
// The pieces let a message be given without allocating, as one about memory running out
// must be.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Begin(MessageKind kind) = 0;
  virtual void Write(std::string_view piece) = 0;
  virtual void End() = 0;
};

// The process's sink (none at first: messages are dropped), set by the command line's main.
void SetMessageSink(MessageSink* sink);

// While it stands, the messages of the thread that made it go to `sink` instead (a
// library call, whose messages are its caller's alone).
class MessageScope {
 public:
  explicit MessageScope(MessageSink& sink);
  ~MessageScope();
  MessageScope(const MessageScope&) = delete;
  MessageScope& operator=(const MessageScope&) = delete;

 private:
  MessageSink* previous_;
};

// Where this thread's messages go now: its scope's sink, the process's, or one that drops
// them.
MessageSink& CurrentMessageSink();

// One message line of `kind` whose text is `text`, as it is.
void SayLine(MessageKind kind, std::string_view text);

}  // namespace trelba
