// Counting runs of whole codons of plain bases (T, C, A, G in either case), the bulk of
// every coding sequence, four codons at a time with one test per group instead of one per
// letter. Anything else (a line break, another letter, '>') is left to the byte-by-byte
// reader of sequence_reader.hpp, which this gives the same counts as.
#pragma once

#include <cstdint>

#include "input/codon_index.hpp"

namespace trelba {

// The codon index of the three letters at `p`, or kNotCodonSum or more.
inline unsigned CodonSum(const unsigned char* p) {
  return static_cast<unsigned>(kCodonFirst[p[0]]) + kCodonSecond[p[1]] + kCodonThird[p[2]];
}

// Counts the codons at `p`, `p + 3`... in `counts` while they are three bases and end
// before `end`; returns where it stopped: at the first triple holding any other byte, or
// with fewer than three bytes left. `p` must begin a codon (the reading frame is at 0).
inline const unsigned char* CountCodonRuns(const unsigned char* p, const unsigned char* const end,
                                           std::uint64_t* const counts) {
  while (end - p >= 12) {
    // Two codons are tested together, then two more: a line end costs at most one half.
    const unsigned s0 = CodonSum(p);
    const unsigned s1 = CodonSum(p + 3);
    if ((s0 | s1) >= kNotCodonSum) {
      if (s0 >= kNotCodonSum) return p;
      ++counts[s0];
      return p + 3;
    }
    ++counts[s0];
    ++counts[s1];
    const unsigned s2 = CodonSum(p + 6);
    const unsigned s3 = CodonSum(p + 9);
    if ((s2 | s3) >= kNotCodonSum) {
      if (s2 >= kNotCodonSum) return p + 6;
      ++counts[s2];
      return p + 9;
    }
    ++counts[s2];
    ++counts[s3];
    p += 12;
  }
  while (end - p >= 3) {
    const unsigned s = CodonSum(p);
    if (s >= kNotCodonSum) break;
    ++counts[s];
    p += 3;
  }
  return p;
}

}  // namespace trelba
