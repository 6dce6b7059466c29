// Outputs written straight through, never replaced: standard output, and a named output
// that is no regular file (a device such as /dev/null or a terminal, a FIFO, the pipe of
// a shell's >(...) or of a workflow's pipe() rule), even when a link leads to it.
// stream_output_posix.cpp and stream_output_windows.cpp hold the system's calls.
#pragma once

#include <string>

#include "reports/output_buffer.hpp"
#include "reports/report_file.hpp"

namespace trelba {

inline constexpr int kStandardOutputDescriptor = 1;

class StreamOutput final : public ByteSink {
 public:
  explicit StreamOutput(int fd = kStandardOutputDescriptor) : fd_(fd) {}
  StreamOutput(const StreamOutput&) = delete;
  StreamOutput& operator=(const StreamOutput&) = delete;
  ~StreamOutput() override { Close(); }

  bool Write(const char* data, std::size_t size) override;
  // Closes a named stream (standard output stays open); false when the close failed.
  bool Close();

 private:
  int fd_;
};

// The descriptor a name stands for, following links: /dev/stdin, /dev/stdout, /dev/stderr,
// /dev/fd/N and /proc/self/fd/N (this process's N under any of its /proc names); -1 for
// any other name, and always on Windows. Such a name is a stream whatever its descriptor
// leads to: it is written through that descriptor, never replaced.
int DescriptorOfName(const std::string& name);

// What a name leads to, following links (a descriptor's name is a stream).
enum class FileKind { kMissing, kRegular, kFolder, kStream };
FileKind KindOfFile(const std::string& name);

// The file a descriptor writes to, when it is a regular file (the only kind that two
// outputs could not share); unknown otherwise.
FileIdentity IdentifyDescriptorFile(int fd);

// The file at the name itself, not following a link (which a report replaces): the file a
// report would take the place of.
FileIdentity IdentifyFileAtName(const std::string& name);

// Opens the stream `name` leads to for writing: its descriptor (a copy of the one a
// descriptor's name stands for), or -1 with errno set. On Windows, which names no such
// streams, always -1.
int OpenStream(const std::string& name);

}  // namespace trelba
