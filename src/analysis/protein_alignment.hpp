// The score of the best local alignment of two proteins (Smith and Waterman 1981, affine gaps
// after Gotoh 1982) in integers, so that every platform gives the same score.
#pragma once

#include <cstddef>
#include <cstdint>

namespace trelba {

// BLOSUM62 with a gap of n residues costing 11 + n, as BLAST's proteins default.
inline constexpr int kGapOpen = 11;
inline constexpr int kGapExtend = 1;

// The best local score of `a` against `b` (residue codes, machinery_panel.hpp) over the
// places i of a and j of b with |j - i - offset| <= band. `h` and `e` hold at least
// b_size + 1 values; they are overwritten.
int LocalAlignmentScore(const std::uint8_t* a, std::size_t a_size, const std::uint8_t* b,
                        std::size_t b_size, std::int32_t* h, std::int32_t* e,
                        std::ptrdiff_t offset = 0, std::ptrdiff_t band = PTRDIFF_MAX / 4);

}  // namespace trelba
