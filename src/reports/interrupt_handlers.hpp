// Between the registry of temporary files (temporary_files.cpp) and the system's way of
// stopping a run: signals on POSIX (temporary_files_posix.cpp), console control events on
// Windows (temporary_files_windows.cpp).
#pragma once

namespace trelba {

// Installs the handlers that remove the temporary files when the run is stopped; called
// at every registration, does its work once.
void InstallInterruptHandlers();

// Removes every registered temporary file; called by the handlers (async-signal-safe).
void RemoveTemporaryFiles();

}  // namespace trelba
