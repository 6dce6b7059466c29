#include "input/input_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "input/compression_format.hpp"
#include "input/input_file_system.hpp"
#include "input/parallel_inflate.hpp"
#include "input/readable_formats.hpp"
#include "input/text_encoding.hpp"

namespace trelba {
namespace {

constexpr std::size_t kRawBlock = 1 << 16;
static_assert(kRawBlock >= kEncodingSample && kEncodingSample >= kLongestMagic);

}  // namespace

InputFile::~InputFile() {
  if (owns_fd_ && fd_ >= 0) CloseInputFile(fd_);
}

bool InputFile::Open(const std::string& name) {
  fd_ = OpenInputFile(name);
  if (fd_ < 0) {
    Fail({errno});
    return false;
  }
  owns_fd_ = true;
  return Start();
}

bool InputFile::OpenDescriptor(int fd) {
  fd_ = fd;
  owns_fd_ = false;
  if (fd_ < 0) {
    Fail({EBADF});
    return false;
  }
  return Start();
}

bool InputFile::OpenSource(ByteSource& source) {
  source_ = &source;
  return Start();
}

bool InputFile::Start() {
  if (source_ == nullptr) {
    if (const int error = UnreadableFileError(fd_)) {
      Fail({error});
      return false;
    }
    AdviseSequentialReading(fd_);
  }
  // Read the start now, to tell a compressed file by its magic number and refused text
  // by its encoding. A pipe may give it in small pieces.
  raw_.reset(new unsigned char[kRawBlock]);
  while (raw_end_ < kEncodingSample && !raw_at_end_) {
    const std::ptrdiff_t n = ReadRaw(raw_.get() + raw_end_, kRawBlock - raw_end_);
    if (n < 0) return false;
    if (n == 0) raw_at_end_ = true;
    raw_end_ += static_cast<std::size_t>(n);
  }
  const CompressionFormat format = SniffCompression(raw_.get(), raw_end_);
  if (format == CompressionFormat::kNone) {
    return Refuse(RefusalReason(SniffTextEncoding(raw_.get(), raw_end_)));
  }
  if (const char* refusal = UnreadableFormatRefusal(format)) return Refuse(refusal);
  if (format == CompressionFormat::kGzip) {
    decoder_ = MakeParallelGzipDecoder(inflate_threads_, raw_.get(), raw_end_);
  }
  if (decoder_ == nullptr) decoder_ = MakeDecoder(format);
  head_.reset(new unsigned char[kEncodingSample]);
  if (decoder_ == nullptr) {
    Fail({0, kOutOfMemory});  // no memory for the decoder: the first Read fails
    return true;
  }
  while (head_end_ < kEncodingSample && !error() && !decoded_all_) {
    const std::ptrdiff_t n = Decode(head_.get() + head_end_, kEncodingSample - head_end_);
    if (n > 0) head_end_ += static_cast<std::size_t>(n);
  }
  return Refuse(RefusalReason(SniffTextEncoding(head_.get(), head_end_)));
}

// Refused text is refused whatever else is wrong with it: its refusal is the cause of every
// failed Read.
bool InputFile::Refuse(const char* refusal) {
  refusal_ = refusal;
  if (refusal_ != nullptr) error_ = {0, refusal_};
  return true;
}

std::ptrdiff_t InputFile::ReadRaw(unsigned char* buffer, std::size_t capacity) {
  if (source_ != nullptr) {
    const std::ptrdiff_t n = source_->Read(reinterpret_cast<char*>(buffer), capacity);
    return n < 0 ? Fail(source_->error()) : n;
  }
  const std::ptrdiff_t n = ReadInput(fd_, buffer, capacity);
  return n < 0 ? Fail({errno}) : n;
}

// Moves the unused bytes to the front of the raw buffer and reads more behind them; false
// after a read error, or when the buffer is full.
bool InputFile::FillRaw() {
  if (raw_begin_ != 0) {
    std::memmove(raw_.get(), raw_.get() + raw_begin_, raw_end_ - raw_begin_);
    raw_end_ -= raw_begin_;
    raw_begin_ = 0;
  }
  if (raw_end_ == kRawBlock) return false;  // a decoder that takes nothing from a full block
  const std::ptrdiff_t n = ReadRaw(raw_.get() + raw_end_, kRawBlock - raw_end_);
  if (n < 0) return false;
  if (n == 0) raw_at_end_ = true;
  raw_end_ += static_cast<std::size_t>(n);
  return true;
}

std::ptrdiff_t InputFile::Read(char* buffer, std::size_t capacity) {
  if (error()) return -1;
  if (head_begin_ < head_end_) {
    const std::size_t n = std::min(capacity, head_end_ - head_begin_);
    std::memcpy(buffer, head_.get() + head_begin_, n);
    head_begin_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  if (decoder_ != nullptr) return Decode(reinterpret_cast<unsigned char*>(buffer), capacity);
  if (raw_begin_ < raw_end_) {
    const std::size_t n = std::min(capacity, raw_end_ - raw_begin_);
    std::memcpy(buffer, raw_.get() + raw_begin_, n);
    raw_begin_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  if (raw_at_end_) return 0;
  return ReadRaw(reinterpret_cast<unsigned char*>(buffer), capacity);
}

std::ptrdiff_t InputFile::Decode(unsigned char* buffer, std::size_t capacity) {
  for (;;) {
    if (error()) return -1;
    if (decoded_all_) return 0;
    if (raw_begin_ == raw_end_ && !raw_at_end_ && !FillRaw()) return Fail({});
    const DecodeStep step = decoder_->Decode(raw_.get() + raw_begin_, raw_end_ - raw_begin_,
                                             raw_at_end_, buffer, capacity);
    raw_begin_ += step.consumed;
    if (step.status == DecodeStatus::kError) return Fail({0, step.error});
    if (step.status == DecodeStatus::kEnd) decoded_all_ = true;
    if (step.produced != 0) return static_cast<std::ptrdiff_t>(step.produced);
    if (step.consumed == 0 && !decoded_all_) {
      // The decoder needs more input than it was given. After the last block it should
      // have said so itself; a decoder stuck there is an error, not an endless loop.
      if (raw_at_end_ || !FillRaw()) Fail({});
    }
  }
}

}  // namespace trelba
