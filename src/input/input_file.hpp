// The sequence file: opened once, read in large blocks. Compressed input (gzip, xz,
// bzip2, zstd, told by the first bytes) is decoded on the fly by the decoder of its
// format; text that cannot be read as bytes (UTF-16, UTF-32) is refused before any of it
// is analysed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "input/byte_source.hpp"
#include "input/decoder.hpp"

namespace trelba {

class InputFile final : public ByteSource {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() override;

  // Threads that may inflate BGZF input (bgzip's gzip members, parallel_inflate.hpp) of
  // the next Open: 1 (the default) reads every input on the calling thread alone. The
  // text is the same for every number.
  void SetInflateThreads(unsigned threads) { inflate_threads_ = threads; }

  // Opens `name` for reading. Fails for a file that cannot be opened or read and for a
  // directory, with the cause in error().
  bool Open(const std::string& name);

  // Reads from `fd`, already open (standard input, a pipe): no seeking is needed. The
  // descriptor stays open when this object goes. Fails as Open does.
  bool OpenDescriptor(int fd);

  // Reads the bytes `source` gives, as a file's (a library caller's stream; compressed
  // text is decoded as a file's is). `source` outlives this object.
  bool OpenSource(ByteSource& source);

  // After a successful open: why the input is refused (UTF-16 or UTF-32 text, in a
  // compressed file too), for the error line, or null. Read fails on refused input.
  const char* refusal() const { return refusal_; }

  // Reads up to `capacity` bytes of text into `buffer`: the number read, 0 at the end of
  // the input, or -1 after a read error, with its cause in error(): the errno of a failed
  // read, the decoder's reason for a truncated or corrupt compressed stream or garbage
  // after one, the refusal of refused input.
  std::ptrdiff_t Read(char* buffer, std::size_t capacity) override;

 private:
  bool Start();
  bool Refuse(const char* refusal);
  std::ptrdiff_t ReadRaw(unsigned char* buffer, std::size_t capacity);
  bool FillRaw();
  std::ptrdiff_t Decode(unsigned char* buffer, std::size_t capacity);

  unsigned inflate_threads_ = 1;
  int fd_ = -1;
  bool owns_fd_ = false;
  ByteSource* source_ = nullptr;  // read instead of fd_ when set
  // Bytes read from the file and not yet used: the first block (read to tell the format
  // and the text encoding) and, for a compressed file, the decoder's input.
  std::unique_ptr<unsigned char[]> raw_;
  std::size_t raw_begin_ = 0;
  std::size_t raw_end_ = 0;
  bool raw_at_end_ = false;
  std::unique_ptr<Decoder> decoder_;  // null for uncompressed input
  // The first text of a compressed file, decoded when opening to check its encoding and
  // not yet handed out.
  std::unique_ptr<unsigned char[]> head_;
  std::size_t head_begin_ = 0;
  std::size_t head_end_ = 0;
  bool decoded_all_ = false;
  const char* refusal_ = nullptr;
};

}  // namespace trelba
