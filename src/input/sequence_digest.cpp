#include "input/sequence_digest.hpp"

namespace trelba {

std::uint64_t DigestLetters(std::uint64_t digest, const char* text, std::size_t size) {
  constexpr std::uint64_t kPrime = 0x100000001b3u;
  for (std::size_t i = 0; i < size; ++i) {
    auto byte = static_cast<unsigned char>(text[i]);
    if (byte <= ' ') continue;
    if (byte >= 'a' && byte <= 'z') byte = static_cast<unsigned char>(byte - ('a' - 'A'));
    digest = (digest ^ byte) * kPrime;
  }
  return digest;
}

}  // namespace trelba
