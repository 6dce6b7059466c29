// The whole run of the command line tool.
#pragma once

namespace trelba {

// Exit status of a run that did not complete (255 to the shell).
inline constexpr int kFailureStatus = -1;

// `Trelba filename [genetic_code_number]` or `Trelba --gcode N filename`: reads the file and
// writes its three reports beside it. Returns 0 after a complete run, kFailureStatus after
// any error, which is reported on standard error (a missing file name without --gcode:
// the usage lines on standard output).
int Run(int argc, const char* const* argv);

}  // namespace trelba
