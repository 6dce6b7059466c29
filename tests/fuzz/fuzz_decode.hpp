// The fuzzer's bytes read as a file would be: through InputFile on a pipe, so that they
// reach the format sniffing, the decoders and the encoding check.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "input/input_file.hpp"

namespace trelba::fuzz {

// What one write fills into an empty pipe (Linux's default pipe buffer), so that no
// writer thread is needed.
inline constexpr std::size_t kPipeBytes = 65536;

struct Decoded {
  bool opened = false;
  bool refused = false;
  bool failed = false;
  std::string text;  // reading stops once it holds `limit` bytes
};

// `bytes` must be at most kPipeBytes long (else nothing is opened). Text past `limit`
// bytes is not read, against decompression bombs.
inline Decoded DecodeThroughPipe(std::string_view bytes, std::size_t limit) {
  Decoded decoded;
  int ends[2];
  if (bytes.size() > kPipeBytes || ::pipe(ends) != 0) return decoded;
  const bool written =
      ::write(ends[1], bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ::close(ends[1]);
  if (written) {
    InputFile input;
    decoded.opened = input.OpenDescriptor(ends[0]);
    decoded.refused = decoded.opened && input.refusal() != nullptr;
    char block[4096];
    while (decoded.opened && !decoded.refused && decoded.text.size() < limit) {
      const std::ptrdiff_t n = input.Read(block, sizeof block);
      if (n < 0) decoded.failed = true;
      if (n <= 0) break;
      decoded.text.append(block, static_cast<std::size_t>(n));
    }
  }
  ::close(ends[0]);
  return decoded;
}

}  // namespace trelba::fuzz
