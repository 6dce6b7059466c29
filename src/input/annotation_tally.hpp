// What reading an annotated input (GenBank, EMBL, GFF3) found besides the coding
// sequences it handed on: the records, and the features it left out and why, each with
// the line of the first one.
#pragma once

#include <array>
#include <cstdint>

namespace trelba {

struct Tallied {
  std::uint64_t count = 0;
  std::uint64_t first_line = 0;
  void Add(std::uint64_t line, std::uint64_t n = 1) {
    if (n == 0) return;
    if (count == 0) first_line = line;
    count += n;
  }
};

// Translation tables numbered up to this are counted one by one; larger ones together.
inline constexpr std::size_t kCountedTables = 40;

struct AnnotationTally {
  std::uint64_t records = 0;  // GenBank or EMBL records; GFF3 sequences read
  std::uint64_t coding = 0;   // CDS handed on
  Tallied pseudo;             // /pseudo, /pseudogene, pseudo=true
  Tallied other_record;       // a stretch in another record
  Tallied unreadable;         // a location this reader does not know
  Tallied out_of_range;       // past the end of its sequence
  Tallied without_sequence;   // on a record without sequence, or one the genome lacks
  Tallied protein_records;    // records of amino acids, whose CDS are not cut
  Tallied long_lines;         // lines longer than the reader keeps, cut
  // CDS by their translation table (/transl_table, transl_table=): element 0 those that
  // give none, kCountedTables those past it.
  std::array<std::uint64_t, kCountedTables + 1> tables{};
};

}  // namespace trelba
