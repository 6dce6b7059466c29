// Windows: Ctrl-C, Ctrl-Break, closing the console window, logging off and shutting down
// remove the temporary files, then end the process with the status Windows gives a
// process stopped by Ctrl-C (STATUS_CONTROL_C_EXIT), at once: the other threads may be
// anywhere, and nothing is left to flush. The handler runs on a thread of its own:
// DeferInterrupts holds a lock that the handler takes first and never gives back, so that
// a commit finishes before the files are removed, and no file is created after.
#include <windows.h>

#include <mutex>

#include "reports/interrupt_handlers.hpp"
#include "reports/temporary_files.hpp"

namespace trelba {
namespace {

std::recursive_mutex interruptions;
std::once_flag handler_installed;  // by whichever thread registers first

BOOL WINAPI RemoveTemporaryFilesAndStop(DWORD) {
  interruptions.lock();  // held until the process ends
  RemoveTemporaryFiles();
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  return TRUE;
}

}  // namespace

void InstallInterruptHandlers() {
  std::call_once(handler_installed,
                 [] { ::SetConsoleCtrlHandler(RemoveTemporaryFilesAndStop, TRUE); });
}

DeferInterrupts::DeferInterrupts() {
  interruptions.lock();
}

DeferInterrupts::~DeferInterrupts() {
  interruptions.unlock();
}

}  // namespace trelba
