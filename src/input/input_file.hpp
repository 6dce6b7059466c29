// The sequence file: opened once, read in large blocks. A gzip-compressed file (told by
// its first two bytes, 1f 8b) is inflated on the fly, every member of a multi-member file
// (bgzip output, concatenated .gz files) in turn.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <memory>
#include <string>

namespace trelba {

class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Opens `name` for reading. Fails for a file that cannot be opened or read and for a
  // directory.
  bool Open(const std::string& name);

  // Reads up to `capacity` bytes of text into `buffer`: the number read, 0 at the end of
  // the input, or -1 after a read error (a truncated or corrupt compressed stream too).
  std::ptrdiff_t Read(char* buffer, std::size_t capacity);

 private:
  std::ptrdiff_t ReadRaw(char* buffer, std::size_t capacity);
  std::ptrdiff_t Inflate(char* buffer, std::size_t capacity);

  int fd_ = -1;
  bool compressed_ = false;
  // Bytes read from the file and not yet used: the first block (read to tell whether the
  // file is compressed) and, for a compressed file, the input of inflate.
  std::unique_ptr<unsigned char[]> raw_;
  std::size_t raw_begin_ = 0;
  std::size_t raw_end_ = 0;
  bool raw_at_end_ = false;
  z_stream stream_{};
  bool stream_open_ = false;
  bool member_done_ = false;  // the last member read so far has ended
};

}  // namespace trelba
