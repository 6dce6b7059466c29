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

void Warning(std::string_view text) {
  PrintLine("Warning: " + PrintableName(text));
}

}  // namespace trelba
