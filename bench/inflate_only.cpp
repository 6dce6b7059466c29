// Inflates a gzip file and throws the text away: zlib's own inflate time, the floor for
// reading compressed input.
//
// usage: inflate_only FILE.gz
#include <zlib.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  gzFile in = gzopen(argv[1], "rb");
  if (in == nullptr) return 1;
  gzbuffer(in, 1 << 18);
  static char buffer[1 << 18];
  unsigned long long total = 0;
  int n = 0;
  while ((n = gzread(in, buffer, sizeof buffer)) > 0) total += static_cast<unsigned>(n);
  const bool ok = n == 0 && gzclose(in) == Z_OK;
  return ok && total != 0 ? 0 : 1;
}
