#include "reports/standard_output.hpp"

#include "reports/report_file.hpp"

namespace trelba {
namespace {

constexpr int kStandardOutputDescriptor = 1;

}  // namespace

bool StandardOutput::Write(const char* data, std::size_t size) {
  return WriteAll(kStandardOutputDescriptor, data, size);
}

}  // namespace trelba
