#include "reports/standard_output.hpp"

#include <unistd.h>

#include "reports/report_file.hpp"

namespace trelba {

bool StandardOutput::Write(const char* data, std::size_t size) {
  return WriteAll(STDOUT_FILENO, data, size);
}

}  // namespace trelba
