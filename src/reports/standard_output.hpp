// Standard output as the destination of a report (the table with "--table -").
#pragma once

#include "reports/output_buffer.hpp"

namespace trelba {

class StandardOutput final : public ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override;
};

}  // namespace trelba
