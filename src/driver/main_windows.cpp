// Windows: the arguments as the system has them, in UTF-16 (the C runtime's argv holds
// them in the console's code page, which loses letters outside it), turned into UTF-8
// for the run. No wildcard expansion: a '*' in a file name is the system's to refuse.
// clang-format off: windows.h first, the other system headers need it.
#include <windows.h>
// clang-format on
#include <shellapi.h>

#include <string>
#include <vector>

#include "driver/process_setup.hpp"
#include "driver/run.hpp"
#include "driver/standard_error_sink.hpp"
#include "input/windows_names.hpp"

int main() {
  trelba::SetMessageSink(&trelba::StandardErrorSink());
  if (!trelba::PrepareProcess()) return trelba::kFailureStatus;
  int argc = 0;
  wchar_t** const wide = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (wide == nullptr) return trelba::kFailureStatus;
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(trelba::Utf8Name(wide[i]));
  ::LocalFree(wide);
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  return trelba::Run(argc, argv.data());
}
