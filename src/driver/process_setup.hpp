// What the process needs before it opens any file.
#pragma once

namespace trelba {

// Reopens each of standard input, output and error that is closed on /dev/null, so that
// no file the run opens takes descriptor 0, 1 or 2 (a message must never land in a
// report), and ignores SIGXFSZ, so that a write past the file-size limit fails (EFBIG)
// and is reported instead of killing the process without a word. False when /dev/null
// cannot be opened.
bool PrepareProcess();

// Whether standard input (0) or output (1) was closed when the process started (and is
// now on /dev/null): a run that reads or writes it must say so rather than take nothing
// for an empty input or throw its output away.
bool StandardStreamWasClosed(int fd);

// Records, for StandardStreamWasClosed, that PrepareProcess found `fd` closed (each
// system's PrepareProcess calls it; process_setup.cpp keeps the record).
void NoteStreamWasClosed(int fd);

// Whether standard error writes to a terminal (a console on Windows), where a line may be
// drawn over.
bool StandardErrorIsTerminal();

}  // namespace trelba
