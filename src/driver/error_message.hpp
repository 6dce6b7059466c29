// The one form of every error about a file: "Error <doing> file: <name>", given to the
// message sink (message_sink.hpp: standard error for the command line), the name shown
// on one line whatever bytes it holds.
#pragma once

#include <string>
#include <string_view>

#include "trelba/failure_cause.hpp"

namespace trelba {

// `name` with every control character and the backslash written as an escape (\n, \t,
// \r, \\, \x1b), so that a message naming it stays one line and reads unambiguously.
std::string PrintableName(std::string_view name);

// The text of that line, without its line end.
std::string FileErrorText(const char* doing, std::string_view name, const char* why = nullptr);

// Gives "Error <doing> file: <name>" (doing: "opening", "reading" or "writing"), with
// " (<why>)" when `why` is given, and returns kFailureStatus.
int FileError(const char* doing, std::string_view name, const char* why = nullptr);

// What a cause says in the parentheses: its reason, or the system's text for its errno
// (strerror); null when nothing is known.
const char* CauseText(const FailureCause& cause);

// The line and the message above, with the text of `cause`.
std::string FileErrorText(const char* doing, std::string_view name, const FailureCause& cause);
int FileError(const char* doing, std::string_view name, const FailureCause& cause);

// The line of a file of the temporary folder that failed (reports/spill_file.hpp): the
// folder named, never an output ("Error writing file: the temporary folder /tmp (No space
// left on device)").
std::string TemporaryFolderErrorText(const FailureCause& cause);

// Gives an error line already made (FileErrorText, an output collision).
void ErrorLine(std::string_view line);

}  // namespace trelba
