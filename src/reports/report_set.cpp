#include "reports/report_set.hpp"

#include <cerrno>
#include <vector>

namespace trelba {

// The output joins the set whole, or not at all when memory runs out on the way (its
// temporary file then removed as it goes): every output of the set has its buffer.
OutputBuffer* ReportSet::Add(Output output, const Compression& compression) {
  ByteSink* sink = output.sink != nullptr ? output.sink
                   : output.file          ? static_cast<ByteSink*>(output.file.get())
                                          : output.stream.get();
  if (compression.format != CompressionFormat::kNone) {
    output.compressed = std::make_unique<CompressedSink>(*sink, compression.format,
                                                         compression.slots, compression.side);
    sink = output.compressed.get();
  }
  output.buffer = std::make_unique<OutputBuffer>(*sink);
  return outputs_.emplace_back(std::move(output)).buffer.get();
}

OutputBuffer* ReportSet::OpenFile(const std::string& name, const FileIdentity& keep,
                                  const Compression& compression, bool named) {
  Output out;
  out.name = name;
  if (named && KindOfFile(name) == FileKind::kStream) {
    const int fd = OpenStream(name);
    if (fd < 0) return Refused({errno});
    out.stream = std::make_unique<StreamOutput>(fd);
    return Add(std::move(out), compression);
  }
  out.file = std::make_unique<ReportFile>();
  if (!out.file->Open(name, keep)) return Refused(out.file->error());
  return Add(std::move(out), compression);
}

OutputBuffer* ReportSet::Refused(FailureCause cause) {
  cause_ = cause;
  return nullptr;
}

// The cause is the file's or stream's where it failed itself, else the compression's.
const std::string* ReportSet::Named(const Output& out) {
  const ByteSink* const sinks[] = {out.file.get(), out.stream.get(), out.compressed.get()};
  cause_ = {};
  for (const ByteSink* sink : sinks) {
    if (sink != nullptr && sink->error()) {
      cause_ = sink->error();
      break;
    }
  }
  return &out.name;
}

OutputBuffer* ReportSet::OpenStandardOutput(const Compression& compression) {
  Output out;
  out.name = kStandardOutputName;
  out.stream = std::make_unique<StreamOutput>();
  return Add(std::move(out), compression);
}

OutputBuffer* ReportSet::OpenSink(ByteSink& sink) {
  Output out;
  out.name = kStandardOutputName;
  out.sink = &sink;
  return Add(std::move(out), Compression{});
}

const std::string* ReportSet::Failed() {
  for (const Output& out : outputs_) {
    if (out.buffer->failed()) return Named(out);
  }
  return nullptr;
}

std::vector<std::string> ReportSet::FileNames() const {
  std::vector<std::string> names;
  for (const Output& out : outputs_) {
    if (out.file) names.push_back(out.name);
  }
  return names;
}

const std::string* ReportSet::Close() {
  if (closed_) return nullptr;
  closed_ = true;
  for (Output& out : outputs_) {
    if (!out.buffer->Flush() || (out.compressed && !out.compressed->Finish()) ||
        (out.file && !out.file->Close()) || (out.stream && !out.stream->Close())) {
      return Named(out);
    }
  }
  return nullptr;
}

const std::string* ReportSet::Commit() {
  if (const std::string* failed = Close()) return failed;
  std::vector<ReportFile*> files;
  std::vector<const Output*> outputs;
  for (const Output& out : outputs_) {
    if (!out.file) continue;
    files.push_back(out.file.get());
    outputs.push_back(&out);
  }
  const std::size_t failed = CommitAll(files);
  return failed == files.size() ? nullptr : Named(*outputs[failed]);
}

}  // namespace trelba
