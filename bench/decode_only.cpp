// Reads a file through the program's own input layer (gzip, BGZF, xz, bzip2, zstd or plain
// text, told by its first bytes) on one thread, in 64 KiB blocks, and throws the text away:
// the processor time of reading and decoding alone, a part of the limit of a compressed
// input.
//
// usage: decode_only FILE...
#include <cstdio>
#include <memory>

#include "input/input_file.hpp"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: decode_only FILE...\n");
    return 2;
  }
  constexpr std::size_t kBlock = 1 << 16;
  const auto block = std::make_unique<char[]>(kBlock);
  for (int i = 1; i < argc; ++i) {
    trelba::InputFile input;
    input.SetInflateThreads(1);
    if (!input.Open(argv[i])) return 1;
    std::ptrdiff_t n = 0;
    while ((n = input.Read(block.get(), kBlock)) > 0) {
    }
    if (n != 0) return 1;
  }
  return 0;
}
