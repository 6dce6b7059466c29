// Reading the location of a GenBank or EMBL feature ("complement(join(<1..206,
// 310..>512))") as the stretches of the record's sequence that make the feature, in the
// order they are read.
//
// The rules, as the feature table's writers mean them:
//  - "a..b" is bases a to b (counted from 1), "a" one base, "a^b" the point between two
//    bases (no base). "<" and ">" mark a partial end and change nothing; a position of
//    several choices ("one-of(5,8)", "(5.8)") starts at its first and ends at its last.
//  - complement(X): the stretches of X on the other strand, in reverse order;
//    join(X, Y, ...) and order(X, Y, ...): those of X, then of Y...
//  - On a circular record, a..b with a > b runs over the origin: a to the record's end,
//    then 1 to b.
//  - A stretch of another record ("AB000001.1:1..100") makes the feature one of that
//    record's too: it is not cut from this one.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace trelba {

struct LocationPart {
  std::uint64_t start = 0;  // the first base, counted from 0
  std::uint64_t end = 0;    // one past the last
  bool minus = false;       // on the reverse strand: read reverse-complemented
  bool operator==(const LocationPart&) const = default;
};

enum class LocationStatus {
  kRead,         // the parts are its stretches
  kOtherRecord,  // a stretch lies in another record
  kUnreadable,   // not a location this reader knows
};

// Reads `text` (no whitespace in it) of a record of `length` bases; appends its stretches
// to `parts`. Nesting deeper than a few brackets, positions past 10^15 and a list of more
// than kMaxLocationParts stretches are unreadable.
inline constexpr std::size_t kMaxLocationParts = 1 << 16;
LocationStatus ReadLocation(std::string_view text, std::uint64_t length, bool circular,
                            std::vector<LocationPart>& parts);

}  // namespace trelba
