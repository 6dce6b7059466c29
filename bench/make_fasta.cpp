// Writes N random coding-like sequences of L nucleotides, 60 letters a line, with a
// fixed seed, so that every benchmark run reads the same bytes.
//
// usage: make_fasta OUTPUT [N=50000] [L=999] [SEED=1]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_fasta OUTPUT [N] [L] [SEED]\n");
    return 2;
  }
  const unsigned long long n = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 50000;
  const unsigned long long length = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 999;
  std::uint64_t state = argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 1;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  static char buffer[1 << 20];
  std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
  std::string line;
  for (unsigned long long s = 1; s <= n; ++s) {
    std::fprintf(out, ">seq%llu synthetic length=%llu\n", s, length);
    for (unsigned long long done = 0; done < length;) {
      line.clear();
      for (int i = 0; i < 60 && done < length; ++i, ++done) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;  // 64-bit LCG
        line += "TCAG"[state >> 62];
      }
      line += '\n';
      std::fwrite(line.data(), 1, line.size(), out);
    }
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
