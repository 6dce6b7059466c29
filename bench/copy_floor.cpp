// The floor of a run: read the input in 64 KiB blocks, as the program does, and write as
// many bytes as the program's reports hold to an output file, with no work in between.
//
// usage: copy_floor INPUT OUTPUT OUTPUT_BYTES
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: copy_floor INPUT OUTPUT OUTPUT_BYTES\n");
    return 2;
  }
  const int in = ::open(argv[1], O_RDONLY);
  const int out = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0) {
    std::perror("copy_floor");
    return 1;
  }
  unsigned long long to_write = std::strtoull(argv[3], nullptr, 10);
  std::vector<char> block(1 << 16);
  for (;;) {
    const ssize_t n = ::read(in, block.data(), block.size());
    if (n < 0) return 1;
    if (n == 0) break;
    // Write about the share of the output that this block of input stands for.
    const auto chunk = static_cast<unsigned long long>(n) * 2;
    unsigned long long now = chunk < to_write ? chunk : to_write;
    while (now != 0) {
      const std::size_t piece = now < block.size() ? now : block.size();
      if (::write(out, block.data(), piece) != static_cast<ssize_t>(piece)) return 1;
      now -= piece;
      to_write -= piece;
    }
  }
  while (to_write != 0) {  // what is left, when the reports are more than twice the input
    const std::size_t piece = to_write < block.size() ? to_write : block.size();
    if (::write(out, block.data(), piece) != static_cast<ssize_t>(piece)) return 1;
    to_write -= piece;
  }
  return ::close(out) == 0 ? 0 : 1;
}
