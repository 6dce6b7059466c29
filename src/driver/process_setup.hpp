// What the process needs before it opens any file.
#pragma once

namespace trelba {

// Reopens each of standard input, output and error that is closed on /dev/null, so that
// no file the run opens takes descriptor 0, 1 or 2 (a message must never land in a
// report), and ignores SIGXFSZ, so that a write past the file-size limit fails (EFBIG)
// and is reported instead of killing the process without a word. False when /dev/null
// cannot be opened.
bool PrepareProcess();

}  // namespace trelba
