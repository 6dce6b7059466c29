// What the program says besides file errors (error_message.hpp): usage errors and
// warnings, each one line, control characters escaped as in file names, given to the
// message sink (message_sink.hpp: standard error for the command line).
#pragma once

#include <string_view>

#include "driver/error_message.hpp"

namespace trelba {

// "Trelba: <what>", the usage line and a pointer to --help on standard error; returns the
// failure status.
int UsageError(std::string_view what);

// "Warning: <text>".
void Warning(std::string_view text);

// How many warnings this thread has given so far (for --strict).
unsigned long WarningsGiven();

}  // namespace trelba
