// The whole run of the command line tool.
#pragma once

namespace trelba {

// Exit status of a run that did not complete (255 to the shell).
inline constexpr int kFailureStatus = -1;

// `Trelba [options] FILE...` or `Trelba [options] FILE genetic_code_number`: reads every
// file and writes its three reports beside it (options.hpp has the grammar). Returns 0
// after a complete run, kFailureStatus after any error, which is reported on standard
// error (no argument at all: the usage lines on standard output).
int Run(int argc, const char* const* argv);

}  // namespace trelba
