// Feature locations as the stretches they name, in reading order, and the locations that
// are refused or lie in another record.
#include "input/feature_location.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trelba {

void PrintTo(const LocationPart& p, std::ostream* os) {
  *os << (p.minus ? "-" : "+") << p.start << ".." << p.end;
}

namespace {

struct LocationCase {
  const char* text;
  bool circular;
  LocationStatus status;
  std::vector<LocationPart> parts;  // start from 0, end past the last; '-' strand
};

void PrintTo(const LocationCase& c, std::ostream* os) {
  *os << c.text << (c.circular ? " (circular)" : "");
}

class Locations : public ::testing::TestWithParam<LocationCase> {};

TEST_P(Locations, ReadAsTheirStretches) {
  const LocationCase& c = GetParam();
  std::vector<LocationPart> parts;
  EXPECT_EQ(ReadLocation(c.text, 1000, c.circular, parts), c.status);
  if (c.status == LocationStatus::kRead) {
    EXPECT_EQ(parts, c.parts);
  }
}

constexpr auto kRead = LocationStatus::kRead;
constexpr auto kOther = LocationStatus::kOtherRecord;
constexpr auto kNo = LocationStatus::kUnreadable;

INSTANTIATE_TEST_SUITE_P(
    Table, Locations,
    ::testing::Values(
        LocationCase{"10..20", false, kRead, {{9, 20, false}}},
        LocationCase{"<1..>206", false, kRead, {{0, 206, false}}},
        LocationCase{"42", false, kRead, {{41, 42, false}}},
        LocationCase{"complement(10..20)", false, kRead, {{9, 20, true}}},
        LocationCase{"join(1..5,8..10)", false, kRead, {{0, 5, false}, {7, 10, false}}},
        LocationCase{"order(1..5,8..10)", false, kRead, {{0, 5, false}, {7, 10, false}}},
        // complement(join(a,b)) reads b then a, both reversed.
        LocationCase{"complement(join(1..5,8..10))", false, kRead, {{7, 10, true}, {0, 5, true}}},
        LocationCase{"join(complement(8..10),complement(1..5))",
                     false,
                     kRead,
                     {{7, 10, true}, {0, 5, true}}},
        // A trans-spliced gene: stretches on both strands.
        LocationCase{
            "join(complement(600..700),10..20)", false, kRead, {{599, 700, true}, {9, 20, false}}},
        LocationCase{"one-of(5,8)..one-of(20,23)", false, kRead, {{4, 23, false}}},
        LocationCase{"(5.8)..(20.23)", false, kRead, {{4, 23, false}}},
        LocationCase{"12^13", false, kRead, {{12, 12, false}}},
        LocationCase{"1000^1", false, kRead, {{1000, 1000, false}}},
        LocationCase{"990..10", true, kRead, {{989, 1000, false}, {0, 10, false}}},
        LocationCase{"990..10", false, kNo, {}}, LocationCase{"12^20", false, kNo, {}},
        LocationCase{"join(AB000001.1:1..100,200..300)", false, kOther, {}},
        LocationCase{"complement(AB000001.1:1..100)", false, kOther, {}},
        LocationCase{"0..10", false, kNo, {}}, LocationCase{"10..", false, kNo, {}},
        LocationCase{"join(1..5", false, kNo, {}}, LocationCase{"join(1..5,)", false, kNo, {}},
        LocationCase{"complement(complement(complement(complement(complement(complement("
                     "complement(complement(complement(1..2)))))))))",
                     false,
                     kNo,
                     {}},
        LocationCase{"99999999999999999999..1", false, kNo, {}},
        LocationCase{"gap(100)", false, kNo, {}}, LocationCase{"", false, kNo, {}}));

}  // namespace
}  // namespace trelba
