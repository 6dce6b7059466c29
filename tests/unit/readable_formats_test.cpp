// Input in a compressed format the build leaves out (a Windows build has no xz, bzip2 or
// zstd) is refused with a reason that names what the build does read.
#include "input/readable_formats.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "input/decoder.hpp"

namespace trelba {
namespace {

struct RefusalCase {
  const char* name;
  CompressionFormat format;
  std::vector<CompressionFormat> readable;
  std::string reason;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
  *out << c.name;
}

class UnreadableFormats : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(UnreadableFormats, NameTheFormatAndWhatTheBuildReads) {
  const RefusalCase& c = GetParam();
  EXPECT_EQ(UnreadableFormatReason(c.format, c.readable), c.reason);
}

using enum CompressionFormat;

INSTANTIATE_TEST_SUITE_P(
    Table, UnreadableFormats,
    ::testing::Values(
        RefusalCase{"XzOnAGzipOnlyBuild",
                    kXz,
                    {kGzip},
                    "xz-compressed; this build of Trelba reads plain and gzip input only"},
        RefusalCase{"Bzip2OnAGzipOnlyBuild",
                    kBzip2,
                    {kGzip},
                    "bzip2-compressed; this build of Trelba reads plain and gzip input only"},
        RefusalCase{"ZstdWithXzBuilt",
                    kZstd,
                    {kGzip, kXz},
                    "zstd-compressed; this build of Trelba reads plain, gzip and xz input only"},
        RefusalCase{"Bzip2WithTheOthersBuilt",
                    kBzip2,
                    {kGzip, kXz, kZstd},
                    "bzip2-compressed; this build of Trelba reads plain, gzip, xz and zstd "
                    "input only"},
        RefusalCase{"GzipIsRead", kGzip, {kGzip}, ""},
        RefusalCase{"XzIsReadWhereBuilt", kXz, {kGzip, kXz}, ""},
        RefusalCase{"PlainTextIsRead", kNone, {kGzip}, ""}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// Every format has a decoder or a refusal, never neither: a format left out of the build
// but not refused would be read as if it were plain text.
TEST(ThisBuild, RefusesExactlyTheFormatsItHasNoDecoderFor) {
  for (const CompressionFormat format : {kGzip, kXz, kBzip2, kZstd}) {
    SCOPED_TRACE(CompressionName(format));
    EXPECT_NE(MakeDecoder(format) == nullptr, UnreadableFormatRefusal(format) == nullptr);
  }
  EXPECT_EQ(UnreadableFormatRefusal(kNone), nullptr);
}

}  // namespace
}  // namespace trelba
