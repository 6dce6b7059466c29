#include "reports/report_set.hpp"

#include <vector>

namespace trelba {

OutputBuffer* ReportSet::Add(Output output, bool compressed) {
  Output& out = outputs_.emplace_back(std::move(output));
  ByteSink* sink = out.file ? static_cast<ByteSink*>(out.file.get()) : out.stream.get();
  if (compressed) {
    out.gzip = std::make_unique<GzipSink>(*sink);
    sink = out.gzip.get();
  }
  out.buffer = std::make_unique<OutputBuffer>(*sink);
  return out.buffer.get();
}

OutputBuffer* ReportSet::OpenFile(const std::string& name, const FileIdentity& keep,
                                  bool compressed, bool named) {
  Output out;
  out.name = name;
  if (named && KindOfFile(name) == FileKind::kStream) {
    const int fd = OpenStream(name);
    if (fd < 0) return nullptr;
    out.stream = std::make_unique<StreamOutput>(fd);
    return Add(std::move(out), compressed);
  }
  out.file = std::make_unique<ReportFile>();
  if (!out.file->Open(name, keep)) return nullptr;
  return Add(std::move(out), compressed);
}

OutputBuffer* ReportSet::OpenStandardOutput(bool compressed) {
  Output out;
  out.name = kStandardOutputName;
  out.stream = std::make_unique<StreamOutput>();
  return Add(std::move(out), compressed);
}

const std::string* ReportSet::Failed() const {
  for (const Output& out : outputs_) {
    if (out.buffer->failed()) return &out.name;
  }
  return nullptr;
}

const std::string* ReportSet::Close() {
  if (closed_) return nullptr;
  closed_ = true;
  for (Output& out : outputs_) {
    if (!out.buffer->Flush() || (out.gzip && !out.gzip->Finish()) ||
        (out.file && !out.file->Close()) || (out.stream && !out.stream->Close())) {
      return &out.name;
    }
  }
  return nullptr;
}

const std::string* ReportSet::Commit() {
  if (const std::string* failed = Close()) return failed;
  std::vector<ReportFile*> files;
  std::vector<const std::string*> names;
  for (const Output& out : outputs_) {
    if (!out.file) continue;
    files.push_back(out.file.get());
    names.push_back(&out.name);
  }
  const std::size_t failed = CommitAll(files);
  return failed == files.size() ? nullptr : names[failed];
}

}  // namespace trelba
