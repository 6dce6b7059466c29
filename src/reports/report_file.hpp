// A report file on disk: created (or emptied) when opened, written in large blocks.
#pragma once

#include <string>

#include "reports/output_buffer.hpp"

namespace trelba {

class ReportFile final : public ByteSink {
 public:
  ReportFile() = default;
  ReportFile(const ReportFile&) = delete;
  ReportFile& operator=(const ReportFile&) = delete;
  ~ReportFile() override;

  // Creates the file, or truncates an existing one to empty.
  bool Open(const std::string& name);
  bool Write(const char* data, std::size_t size) override;
  // Closes the file; false when the close reported an error (data not written).
  bool Close();

 private:
  int fd_ = -1;
};

}  // namespace trelba
