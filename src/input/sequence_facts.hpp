// What the scanner tells of one sequence besides its codon counts.
#pragma once

#include <cstdint>
#include <string_view>

namespace trelba {

struct SequenceFacts {
  std::string_view description;  // the header after its first word, leading blanks dropped; empty
                                 // unless asked for
  std::uint8_t partial_letters = 0;  // letters of an incomplete last triple (0 to 2)
  std::uint8_t last_triple = 0;   // codon index (1..64) of the sequence's last whole triple; 0 when
                                  // it was no codon or there is none
  std::uint8_t first_triple = 0;  // the same of its first whole triple
  bool rna = false;               // its header marks it as RNA (rna_marks.hpp)
  bool pseudogene = false;        // its header marks it as a pseudogene
};

}  // namespace trelba
