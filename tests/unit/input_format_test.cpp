// Telling the compression format and refused text encodings from a file's first bytes.
#include <gtest/gtest.h>

#include <string>

#include "compress.hpp"
#include "input/compression_format.hpp"
#include "input/text_encoding.hpp"

namespace trelba {
namespace {

TextEncoding Encoding(const std::string& bytes) {
  return SniffTextEncoding(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

CompressionFormat Format(const std::string& bytes) {
  return SniffCompression(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

struct FormatCase {
  const char* name;
  std::string bytes;
  CompressionFormat format;
};

void PrintTo(const FormatCase& c, std::ostream* out) {
  *out << c.name;
}

class MagicNumbers : public ::testing::TestWithParam<FormatCase> {};

TEST_P(MagicNumbers, TellTheFormat) {
  EXPECT_EQ(Format(GetParam().bytes), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MagicNumbers,
    ::testing::Values(
        FormatCase{"Gzip", test::Gzip(">a\n"), CompressionFormat::kGzip},
        FormatCase{"Xz", test::Xz(">a\n"), CompressionFormat::kXz},
        FormatCase{"Bzip2", test::Bzip2(">a\n"), CompressionFormat::kBzip2},
        FormatCase{"Zstd", test::Zstd(">a\n"), CompressionFormat::kZstd},
        FormatCase{"ZstdSkippableFrameFirst", test::ZstdSkippableFrame(3) + test::Zstd(">a\n"),
                   CompressionFormat::kZstd},
        FormatCase{"Fasta", ">a\nATG\n", CompressionFormat::kNone},
        FormatCase{"Empty", "", CompressionFormat::kNone},
        FormatCase{"HalfAGzipMagic", "\x1f", CompressionFormat::kNone},
        FormatCase{"XzMagicWithoutItsNul",
                   std::string("\xfd"
                               "7zXZ!",
                               6),
                   CompressionFormat::kNone},
        FormatCase{"ZstdMagicCut", std::string("\x28\xb5\x2f", 3), CompressionFormat::kNone},
        FormatCase{"OtherSkippableLookalike", std::string("\x60\x2a\x4d\x18", 4),
                   CompressionFormat::kNone}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

struct EncodingCase {
  const char* name;
  std::string bytes;
  TextEncoding encoding;
};

void PrintTo(const EncodingCase& c, std::ostream* out) {
  *out << c.name;
}

class TextEncodings : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(TextEncodings, AreTold) {
  EXPECT_EQ(Encoding(GetParam().bytes), GetParam().encoding);
}

const std::string kFasta = ">gene one\nATGAAACCCGGGTTTTAA\n";

INSTANTIATE_TEST_SUITE_P(
    Table, TextEncodings,
    ::testing::Values(
        EncodingCase{"Ascii", kFasta, TextEncoding::kBytes},
        EncodingCase{"Empty", "", TextEncoding::kBytes},
        EncodingCase{"Utf8Mark", "\xef\xbb\xbf" + kFasta, TextEncoding::kBytes},
        EncodingCase{"Utf8Letters", ">g\xc3\xa9ne \xce\xb1\nATG\n", TextEncoding::kBytes},
        // A few NUL bytes in ASCII, as the bad-input tests feed, stay bytes.
        EncodingCase{"AsciiWithNuls", std::string(">nul\nATG\0\0\0AAA\0TTT\n", 20),
                     TextEncoding::kBytes},
        EncodingCase{"AllZeros", std::string(64, '\0'), TextEncoding::kBytes},
        EncodingCase{"Utf16LeMarkOnly", "\xff\xfe", TextEncoding::kUtf16},
        EncodingCase{"Utf16LeMark", test::Widen(kFasta, 2, true, true), TextEncoding::kUtf16},
        EncodingCase{"Utf16BeMark", test::Widen(kFasta, 2, false, true), TextEncoding::kUtf16},
        EncodingCase{"Utf16LeNoMark", test::Widen(kFasta, 2, true, false), TextEncoding::kUtf16},
        EncodingCase{"Utf16BeNoMark", test::Widen(kFasta, 2, false, false), TextEncoding::kUtf16},
        // A Greek letter in a header has a non-zero high byte: still UTF-16.
        EncodingCase{"Utf16LeNoMarkWithGreek",
                     test::Widen(">g", 2, true, false) + std::string("\xb1\x03", 2) +
                         test::Widen("\nATGAAACCCGGG\n", 2, true, false),
                     TextEncoding::kUtf16},
        // Odd length: the last byte of a cut file is ignored.
        EncodingCase{"Utf16BeNoMarkOddLength", test::Widen(kFasta, 2, false, false) + "x",
                     TextEncoding::kUtf16},
        EncodingCase{"Utf32LeMark", test::Widen(kFasta, 4, true, true), TextEncoding::kUtf32},
        EncodingCase{"Utf32BeMark", test::Widen(kFasta, 4, false, true), TextEncoding::kUtf32},
        EncodingCase{"Utf32LeNoMark", test::Widen(kFasta, 4, true, false), TextEncoding::kUtf32},
        EncodingCase{"Utf32BeNoMark", test::Widen(kFasta, 4, false, false), TextEncoding::kUtf32}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// Only the first block is looked at: UTF-16 further on cannot be told (and costs nothing).
TEST(TextEncodings, AsciiStartDecidesWhateverFollows) {
  std::string text;
  while (text.size() < kEncodingSample) text += kFasta;
  EXPECT_EQ(Encoding(text + test::Widen(kFasta, 2, true, false)), TextEncoding::kBytes);
}

}  // namespace
}  // namespace trelba
