#include "generated_blocks.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace trelba {
namespace {

struct BlockCase {
  const char* name;
  std::string text;
  bool replaced;
  std::string expected;
  bool mentioned = true;  // a marker of the block stands in the text
};

void PrintTo(const BlockCase& c, std::ostream* os) {
  *os << c.name;
}

const std::string kBegin = BlockBegin("key", Markup::kMarkdown);
const std::string kEnd = BlockEnd("key", Markup::kMarkdown);

class BlockCases : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockCases, ReplaceBlock) {
  const BlockCase& c = GetParam();
  const auto result = ReplaceBlock(c.text, "key", Markup::kMarkdown, "new\n");
  EXPECT_EQ(MentionsBlock(c.text, "key", Markup::kMarkdown), c.mentioned);
  ASSERT_EQ(result.has_value(), c.replaced);
  if (result) {
    EXPECT_EQ(*result, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BlockCases,
    ::testing::Values(
        BlockCase{"OldContentReplaced", "a\n" + kBegin + "old\nlines\n" + kEnd + "b\n", true,
                  "a\n" + kBegin + "new\n" + kEnd + "b\n"},
        BlockCase{"EmptyBlockFilled", kBegin + kEnd, true, kBegin + "new\n" + kEnd},
        BlockCase{"AlreadyCurrentUnchanged", kBegin + "new\n" + kEnd, true,
                  kBegin + "new\n" + kEnd},
        BlockCase{"NoMarkers", "a\nb\n", false, "", false},
        BlockCase{"EndMissing", kBegin + "old\n", false, ""},
        BlockCase{"BeginMissing", "old\n" + kEnd, false, ""},
        BlockCase{"EndBeforeBegin", kEnd + "old\n" + kBegin, false, ""},
        BlockCase{"BeginTwice", kBegin + kBegin + "old\n" + kEnd, false, ""},
        BlockCase{
            "OtherBlockNotTouched",
            BlockBegin("other", Markup::kMarkdown) + "x\n" + BlockEnd("other", Markup::kMarkdown),
            false, "", false},
        BlockCase{"RoffMarkersAreNotMarkdownMarkers",
                  BlockBegin("key", Markup::kRoff) + "old\n" + BlockEnd("key", Markup::kRoff),
                  false, "", false}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace trelba
