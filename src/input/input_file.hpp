// The sequence file: opened once, read in large blocks.
#pragma once

#include <cstddef>
#include <string>

namespace trelba {

class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // Opens `name` for reading. Fails for a file that cannot be opened and for a directory.
  bool Open(const std::string& name);

  // Reads up to `capacity` bytes into `buffer`: the number read, 0 at the end of the
  // input, or -1 after a read error.
  std::ptrdiff_t Read(char* buffer, std::size_t capacity);

 private:
  int fd_ = -1;
};

}  // namespace trelba
