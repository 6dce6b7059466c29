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

int UsageError(std::string_view what) {
  PrintLine("Trelba: " + PrintableName(what));
  std::fwrite(kUsageErrorText.data(), 1, kUsageErrorText.size(), stderr);
  return kFailureStatus;
}

namespace {
unsigned long warnings_given = 0;
}  // namespace

void Warning(std::string_view text) {
  PrintLine("Warning: " + PrintableName(text));
  ++warnings_given;
}

unsigned long WarningsGiven() {
  return warnings_given;
}

}  // namespace trelba
