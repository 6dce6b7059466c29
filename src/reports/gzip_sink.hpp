// Output compressed with gzip on its way to another sink (a table or summary whose name
// ends in ".gz"). The bytes depend on the text alone: no name, no time, the same system
// byte everywhere.
#pragma once

#include <memory>

#include "reports/output_buffer.hpp"

namespace trelba {

class GzipSink final : public ByteSink {
 public:
  explicit GzipSink(ByteSink& to);
  ~GzipSink() override;
  GzipSink(const GzipSink&) = delete;
  GzipSink& operator=(const GzipSink&) = delete;

  bool Write(const char* data, std::size_t size) override;
  // Ends the gzip stream; false when its last bytes could not be written.
  bool Finish();

 private:
  struct Stream;
  bool Deflate(const char* data, std::size_t size, int flush);

  ByteSink& to_;
  std::unique_ptr<Stream> stream_;
};

// Whether a name asks for gzip output.
bool NamesGzipFile(std::string_view name);

}  // namespace trelba
