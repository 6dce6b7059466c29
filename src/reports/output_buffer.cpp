#include "reports/output_buffer.hpp"

#include <algorithm>
#include <cstring>

namespace trelba {

OutputBuffer::OutputBuffer(ByteSink& sink, std::size_t capacity)
    : sink_(sink), data_(new char[capacity]), capacity_(capacity) {}

void OutputBuffer::Append(std::string_view text) {
  if (text.size() >= capacity_) {
    if (Flush() && !sink_.Write(text.data(), text.size())) failed_ = true;
    handed_ += text.size();
    return;
  }
  while (!text.empty()) {
    if (used_ == capacity_) Flush();
    const std::size_t n = std::min(text.size(), capacity_ - used_);
    std::memcpy(data_.get() + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

bool OutputBuffer::Flush() {
  if (used_ != 0 && !failed_ && !sink_.Write(data_.get(), used_)) failed_ = true;
  handed_ += used_;
  used_ = 0;
  return !failed_;
}

bool OutputBuffer::EndPart() {
  if (Flush() && !sink_.EndPart()) failed_ = true;
  return !failed_;
}

bool OutputBuffer::Truncate(std::uint64_t size) {
  if (failed_) return false;
  if (size >= handed_) {  // still in the buffer
    used_ = static_cast<std::size_t>(size - handed_);
    return true;
  }
  used_ = 0;
  if (!sink_.Truncate(size)) {
    failed_ = true;
    return false;
  }
  handed_ = size;
  return true;
}

}  // namespace trelba
