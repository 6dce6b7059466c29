#include "reports/report_set.hpp"

#include <vector>

namespace trelba {

OutputBuffer* ReportSet::Add(Output output) {
  Output& out = outputs_.emplace_back(std::move(output));
  ByteSink& sink = out.file ? static_cast<ByteSink&>(*out.file) : out.standard_output;
  out.buffer = std::make_unique<OutputBuffer>(sink);
  return out.buffer.get();
}

OutputBuffer* ReportSet::OpenFile(const std::string& name, const FileIdentity& keep) {
  Output out;
  out.name = name;
  out.file = std::make_unique<ReportFile>();
  if (!out.file->Open(name, keep)) return nullptr;
  return Add(std::move(out));
}

OutputBuffer* ReportSet::OpenStandardOutput() {
  Output out;
  out.name = kStandardOutputName;
  return Add(std::move(out));
}

const std::string* ReportSet::Failed() const {
  for (const Output& out : outputs_) {
    if (out.buffer->failed()) return &out.name;
  }
  return nullptr;
}

const std::string* ReportSet::Commit() {
  for (Output& out : outputs_) {
    if (!out.buffer->Flush() || (out.file && !out.file->Close())) return &out.name;
  }
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
