// Why reading or writing a file failed, carried from the call that failed to the error
// line, where it fills the parentheses: the errno of a failed system call (the system's
// own words for it), or a reason of the program's own (damage a decoder found in
// compressed input, text refused, what stands at a report's name).
#pragma once

#include <cerrno>

namespace trelba {

struct FailureCause {
  int code = 0;                  // errno; 0 when `reason` says it
  const char* reason = nullptr;  // a text that lives as long as the program, or null
  // A file of the temporary folder failed (input/temporary_folder.hpp): the error line
  // names the folder, not the input or output that was being read or written.
  bool in_temporary_folder = false;

  // Whether anything is known.
  explicit operator bool() const { return code != 0 || reason != nullptr; }
};

// Keeps `cause` in `kept` unless a cause is kept already (the first failure is the one to
// tell); a failure of unknown cause is kept as an input/output error.
inline void KeepFirst(FailureCause& kept, FailureCause cause) {
  if (!kept) kept = cause ? cause : FailureCause{EIO, nullptr, cause.in_temporary_folder};
}

// Memory that could not be had, by whichever layer met it.
inline constexpr const char* kOutOfMemory = "out of memory";

}  // namespace trelba
