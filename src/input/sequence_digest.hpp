// The identity of a sequence's letters, for finding the genes of one file in another: a
// 64-bit FNV-1a digest of its bytes, blanks and line ends left out and letters taken in
// upper case, so that two bodies that differ only in their line breaks or case have the
// same digest. Fed piece by piece as the body arrives.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trelba {

inline constexpr std::uint64_t kDigestStart = 0xcbf29ce484222325u;

// `digest` (kDigestStart for a body's first piece) followed by `text`.
std::uint64_t DigestLetters(std::uint64_t digest, const char* text, std::size_t size);

}  // namespace trelba
