#include "driver/error_message.hpp"

#include <array>
#include <cstdio>
#include <cstring>

#include "driver/run.hpp"

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

// Written piece by piece, without allocating: this also reports memory running out.
int FileError(const char* doing, std::string_view name, const char* why) {
  std::fputs("Error ", stderr);
  std::fputs(doing, stderr);
  std::fputs(" file: ", stderr);
  for (const char c : name) {
    const ShownByte shown = Show(c);
    std::fwrite(shown.text.data(), 1, shown.size, stderr);
  }
  if (why != nullptr) {
    std::fputs(" (", stderr);
    std::fputs(why, stderr);
    std::fputc(')', stderr);
  }
  std::fputc('\n', stderr);
  std::fflush(stderr);
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

}  // namespace trelba
