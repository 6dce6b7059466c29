// Everything the program says on standard error: file errors, usage errors, warnings.
// Each is one line: names are printed with their control characters escaped.
#pragma once

#include <string>
#include <string_view>

namespace trelba {

// `name` with every control character written as an escape (\n, \t, \r, \xNN), so that
// a message naming it stays on one line.
std::string PrintableName(std::string_view name);

// "Error <doing> file: <name>", with " (<why>)" when `why` is given; returns the failure
// status.
int FileError(std::string_view doing, std::string_view name, std::string_view why = {});

// "Trelba: <what>", the usage line and a pointer to --help; returns the failure status.
int UsageError(std::string_view what);

// "Warning: <text>".
void Warning(std::string_view text);

}  // namespace trelba
