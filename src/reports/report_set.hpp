// The outputs of a run, opened, flushed and committed together: every report file
// replaces what stood at its name at the end, all of them or none, and whatever fails is
// named, with its cause, for the error line.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "reports/compressed_sink.hpp"
#include "reports/output_buffer.hpp"
#include "reports/report_file.hpp"
#include "reports/stream_output.hpp"

namespace trelba {

// How messages name standard output.
inline constexpr std::string_view kStandardOutputName = "standard output";

// How an output is compressed (reports/compressed_sink.hpp): kNone for plain text.
struct Compression {
  CompressionFormat format = CompressionFormat::kNone;
  unsigned slots = 1;        // members in the making at once
  SideWork* side = nullptr;  // lends other threads to make them
};

class ReportSet {
 public:
  // Opens a report file, written to a temporary beside `name` until Commit (see
  // report_file.hpp; `keep` is the input, which it must not be): its buffer, or null when
  // it cannot be opened. A name the user gave (`named`) that leads to no regular file but a
  // stream (stream_output.hpp) is written straight through.
  OutputBuffer* OpenFile(const std::string& name, const FileIdentity& keep,
                         const Compression& compression = {}, bool named = false);
  // Standard output as an output.
  OutputBuffer* OpenStandardOutput(const Compression& compression = {});
  // A caller's own sink (a library call's text in memory) as standard output.
  OutputBuffer* OpenSink(ByteSink& sink);

  // The name of an output that has failed to write, or null.
  const std::string* Failed();
  // The names of the outputs written to files (not streams), in the order they were opened.
  std::vector<std::string> FileNames() const;

  // Flushes and closes every output (once): the name of the output that failed, or null.
  const std::string* Close();
  // Closes every output if not done yet, then moves every file to its name, all or none.
  // The name of the output that failed, or null when all are in place.
  const std::string* Commit();

  // Why the output last found failing (by the calls above, or an OpenFile that gave null)
  // failed.
  const FailureCause& cause() const { return cause_; }

 private:
  struct Output {
    std::string name;                            // as messages give it
    std::unique_ptr<ReportFile> file;            // null for a stream
    std::unique_ptr<StreamOutput> stream;        // null for a file
    std::unique_ptr<CompressedSink> compressed;  // null for plain text
    ByteSink* sink = nullptr;                    // a caller's: neither a file nor a stream
    std::unique_ptr<OutputBuffer> buffer;
  };
  OutputBuffer* Add(Output output, const Compression& compression);
  OutputBuffer* Refused(FailureCause cause);       // null, keeping the cause
  const std::string* Named(const Output& output);  // its name, keeping its cause

  std::deque<Output> outputs_;  // never moved: each buffer refers to its sink
  bool closed_ = false;
  FailureCause cause_;
};

}  // namespace trelba
