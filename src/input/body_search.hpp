// Where a body ends, and its lines, in one pass: the scanner's search for the next '>'
// (fasta_scanner.hpp) thirty-two bytes at a time where the processor has AVX2, chosen once
// when the program starts. Integer work only.
#pragma once

#include <cstdint>

namespace trelba {

// Sets `stop` to the first '>' in [p, end), or to end, and `line_feeds` to the line feeds
// before it; false, with neither set, when a ';' comes first (the scanner's plain search
// then notes the ';' lines).
using BodySearcher = bool (*)(const char* p, const char* end, const char*& stop,
                              std::uint64_t& line_feeds);

// The search for this processor, or null where it has none (the plain search serves).
extern const BodySearcher kBodySearcher;

}  // namespace trelba
