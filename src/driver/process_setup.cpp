// Which standard streams the process found closed, for every system's PrepareProcess
// (process_setup_posix.cpp, process_setup_windows.cpp).
#include "driver/process_setup.hpp"

#include <array>
#include <cstddef>

namespace trelba {
namespace {

std::array<bool, 3> was_closed{};

}  // namespace

void NoteStreamWasClosed(int fd) {
  if (fd >= 0 && fd < static_cast<int>(was_closed.size())) {
    was_closed[static_cast<std::size_t>(fd)] = true;
  }
}

bool StandardStreamWasClosed(int fd) {
  return fd >= 0 && fd < static_cast<int>(was_closed.size()) &&
         was_closed[static_cast<std::size_t>(fd)];
}

}  // namespace trelba
