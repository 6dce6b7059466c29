// What the program says on standard error besides file errors (error_message.hpp): usage
// errors and warnings, each one line, control characters escaped as in file names.
#pragma once

#include <string_view>

#include "driver/error_message.hpp"

namespace trelba {

// "Trelba: <what>", the usage line and a pointer to --help; returns the failure status.
int UsageError(std::string_view what);

// "Warning: <text>".
void Warning(std::string_view text);

// How many warnings have been given so far (for --strict).
unsigned long WarningsGiven();

}  // namespace trelba
