// Counting runs of whole codons of plain bases (T, C, A, G in either case), the bulk of
// every coding sequence, four codons at a time with one test per pair instead of one per
// letter. Whitespace where a codon would begin (the line ends of lines a whole number of
// codons long) is skipped; anything else (a line end inside a codon, another letter, '>')
// is left to the byte-by-byte reader of sequence_reader.hpp, which this gives the same
// counts as.
#pragma once

#include <cstdint>

#include "input/codon_index.hpp"

namespace trelba {

// The codon index of the three letters at `p`, or kNotCodonSum or more.
inline unsigned CodonSum(const unsigned char* p) {
  return static_cast<unsigned>(kCodonFirst[p[0]]) + kCodonSecond[p[1]] + kCodonThird[p[2]];
}

// Counts the codons at `p`, `p + 3`... in `counts` while they are three bases and end
// before `end`, skipping whitespace between them; returns where it stopped: at the first
// triple holding any other byte, or with fewer than three bytes left. `p` must begin a
// codon (the reading frame is at 0).
inline const unsigned char* CountCodonRuns(const unsigned char* p, const unsigned char* const end,
                                           std::uint64_t* const counts) {
  while (end - p >= 12) {
    // Two codons are tested together, then two more: a line end costs at most one half.
    unsigned first = CodonSum(p);
    const unsigned s1 = CodonSum(p + 3);
    if ((first | s1) < kNotCodonSum) {
      ++counts[first];
      ++counts[s1];
      p += 6;
      first = CodonSum(p);
      const unsigned s3 = CodonSum(p + 3);
      if ((first | s3) < kNotCodonSum) {
        ++counts[first];
        ++counts[s3];
        p += 6;
        continue;
      }
    }
    // A pair holding something else: its first codon, if whole, then either a blank where
    // the next codon begins (skipped) or the end of the run.
    if (first < kNotCodonSum) {
      ++counts[first];
      p += 3;
    }
    if (kByteClasses[*p] != kWhitespace) return p;
    ++p;
  }
  while (end - p >= 3) {
    const unsigned s = CodonSum(p);
    if (s >= kNotCodonSum) break;
    ++counts[s];
    p += 3;
  }
  return p;
}

// The same reading, as fast as this processor allows (codon_runs_wide.cpp): the table
// reader above, or SSE2 or AVX2 sixteen or thirty-two bytes at a time; the same counts and
// the same place of stopping whichever reads.
using CodonRunReader = const unsigned char* (*)(const unsigned char* p, const unsigned char* end,
                                                std::uint64_t* counts);
extern const CodonRunReader kCodonRunReader;

// Each reader by name, for tests and benchmarks: null where this build or processor lacks it.
enum class CodonRunWidth { kTable, kSse2, kAvx2 };
CodonRunReader CodonRunReaderOf(CodonRunWidth width);

}  // namespace trelba
