#include "driver/messages.hpp"

#include <cstdio>

#include "driver/help_text.hpp"
#include "driver/run.hpp"

namespace trelba {
namespace {

void PrintLine(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace

std::string PrintableName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

int FileError(std::string_view doing, std::string_view name, std::string_view why) {
  PrintLine("Error " + std::string(doing) + " file: " + PrintableName(name) +
            (why.empty() ? "" : " (" + std::string(why) + ")"));
  return kFailureStatus;
}

int UsageError(std::string_view what) {
  PrintLine("Trelba: " + PrintableName(what));
  std::fwrite(kUsageErrorText.data(), 1, kUsageErrorText.size(), stderr);
  return kFailureStatus;
}

void Warning(std::string_view text) {
  PrintLine("Warning: " + PrintableName(text));
}

}  // namespace trelba
