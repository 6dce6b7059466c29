// File names in messages: every byte shown so that the message stays one line and the
// name can be read back exactly.
#include "driver/error_message.hpp"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "driver/message_sink.hpp"
#include "driver/messages.hpp"

namespace trelba {
namespace {

// Reads an escaped name back.
std::string Unescape(const std::string& shown) {
  std::string name;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != '\\') {
      name += shown[i];
      continue;
    }
    const char kind = shown[++i];
    if (kind == 'n') name += '\n';
    if (kind == 't') name += '\t';
    if (kind == 'r') name += '\r';
    if (kind == '\\') name += '\\';
    if (kind == 'x') {
      name += static_cast<char>(std::stoi(shown.substr(i + 1, 2), nullptr, 16));
      i += 2;
    }
  }
  return name;
}

TEST(PrintableName, EveryByteIsShownOnOneLineAndReadsBack) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string name = std::string("a") + static_cast<char>(byte) + "b.fa";
    const std::string shown = PrintableName(name);
    for (const char c : shown) {
      const auto u = static_cast<unsigned char>(c);
      EXPECT_FALSE(u < 0x20 || u == 0x7f) << "byte " << byte;
    }
    EXPECT_EQ(Unescape(shown), name) << "byte " << byte;
  }
}

TEST(PrintableName, OrdinaryNamesAreUnchanged) {
  EXPECT_EQ(PrintableName("./sub/gènes de souris.fa.gz"), "./sub/gènes de souris.fa.gz");
  EXPECT_EQ(PrintableName("in\n.fa\x1b"), "in\\n.fa\\x1b");
}

// The lines a thread's messages make, each with its kind.
class RecordedMessages final : public MessageSink {
 public:
  void Begin(MessageKind kind) override { lines.push_back({kind, ""}); }
  void Write(std::string_view piece) override { lines.back().second.append(piece); }
  void End() override {}
  std::vector<std::pair<MessageKind, std::string>> lines;
};

// What goes to the sink is the line the command line prints, less "Warning: " and
// "Trelba: " (the standard error sink's) and the line end; FileError gives it in pieces.
TEST(MessageSink, TakesEachMessageAsTheLineItStandsFor) {
  const std::string names[] = {"", "genes.fa", "a\nb\tc\x1b\\.fa", "\n", "x\x7f"};
  for (const std::string& name : names) {
    RecordedMessages recorded;
    {
      const MessageScope scope(recorded);
      FileError("reading", name, "truncated gzip member");
      FileError("opening", name);
      Warning(name + ": 3 letters U or u");
      UsageError("unknown option: " + name);
    }
    const std::vector<std::pair<MessageKind, std::string>> expected = {
        {MessageKind::kError, FileErrorText("reading", name, "truncated gzip member")},
        {MessageKind::kError, FileErrorText("opening", name)},
        {MessageKind::kWarning, PrintableName(name + ": 3 letters U or u")},
        {MessageKind::kUsage, PrintableName("unknown option: " + name)}};
    EXPECT_EQ(recorded.lines, expected) << PrintableName(name);
  }
}

TEST(MessageSink, AScopeHoldsOnlyItsOwnThreadsMessagesWhileItStands) {
  RecordedMessages outer;
  RecordedMessages inner;
  const MessageScope outer_scope(outer);
  {
    const MessageScope inner_scope(inner);
    Warning("inner");
    std::thread([] { Warning("another thread"); }).join();
  }
  Warning("outer");
  ASSERT_EQ(inner.lines.size(), 1u);
  EXPECT_EQ(inner.lines[0].second, "inner");
  ASSERT_EQ(outer.lines.size(), 1u);
  EXPECT_EQ(outer.lines[0].second, "outer");
}

}  // namespace
}  // namespace trelba
