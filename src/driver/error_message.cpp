#include "driver/error_message.hpp"

#include <array>
#include <cstring>

#include "driver/message_sink.hpp"
#include "driver/run.hpp"
#include "input/temporary_folder.hpp"

namespace trelba {
namespace {

// How one byte of a name is shown: itself, or an escape of up to four characters.
struct ShownByte {
  std::array<char, 4> text;
  std::size_t size;
};

ShownByte Show(char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  const auto byte = static_cast<unsigned char>(c);
  switch (c) {
    case '\n':
      return {{'\\', 'n'}, 2};
    case '\t':
      return {{'\\', 't'}, 2};
    case '\r':
      return {{'\\', 'r'}, 2};
    case '\\':
      return {{'\\', '\\'}, 2};
    default:
      if (byte < 0x20 || byte == 0x7f) return {{'\\', 'x', kHex[byte >> 4], kHex[byte & 0xf]}, 4};
      return {{c}, 1};
  }
}

}  // namespace

std::string PrintableName(std::string_view name) {
  std::string printable;
  printable.reserve(name.size());
  for (const char c : name) {
    const ShownByte shown = Show(c);
    printable.append(shown.text.data(), shown.size);
  }
  return printable;
}

std::string FileErrorText(const char* doing, std::string_view name, const char* why) {
  std::string text = std::string("Error ") + doing + " file: " + PrintableName(name);
  if (why != nullptr) text.append(" (").append(why) += ')';
  return text;
}

// Given piece by piece, without allocating: this also reports memory running out.
int FileError(const char* doing, std::string_view name, const char* why) {
  MessageSink& sink = CurrentMessageSink();
  sink.Begin(MessageKind::kError);
  sink.Write("Error ");
  sink.Write(doing);
  sink.Write(" file: ");
  std::size_t plain = 0;  // bytes of `name` before `i` that stand as they are, not yet given
  for (std::size_t i = 0; i < name.size(); ++i) {
    const ShownByte shown = Show(name[i]);
    if (shown.size == 1) {
      ++plain;
      continue;
    }
    sink.Write(name.substr(i - plain, plain));
    plain = 0;
    sink.Write({shown.text.data(), shown.size});
  }
  sink.Write(name.substr(name.size() - plain));
  if (why != nullptr) {
    sink.Write(" (");
    sink.Write(why);
    sink.Write(")");
  }
  sink.End();
  return kFailureStatus;
}

const char* CauseText(const FailureCause& cause) {
  if (cause.reason != nullptr) return cause.reason;
  return cause.code != 0 ? std::strerror(cause.code) : nullptr;
}

std::string FileErrorText(const char* doing, std::string_view name, const FailureCause& cause) {
  return FileErrorText(doing, name, CauseText(cause));
}

int FileError(const char* doing, std::string_view name, const FailureCause& cause) {
  return FileError(doing, name, CauseText(cause));
}

std::string TemporaryFolderErrorText(const FailureCause& cause) {
  return FileErrorText("writing", "the temporary folder " + TemporaryFolder(), cause);
}

void ErrorLine(std::string_view line) {
  SayLine(MessageKind::kError, line);
}

}  // namespace trelba
