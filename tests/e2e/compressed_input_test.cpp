// xz, bzip2 and zstd input (gzip has its own file), zero padding after compressed data,
// and refused UTF-16 / UTF-32 text, through the built tool.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "compress.hpp"
#include "run_tool.hpp"

namespace trelba::test {
namespace {

namespace fs = std::filesystem;

constexpr CompressionFormat kFormats[] = {CompressionFormat::kGzip, CompressionFormat::kXz,
                                          CompressionFormat::kBzip2, CompressionFormat::kZstd};

std::string FormatName(const ::testing::TestParamInfo<CompressionFormat>& param_info) {
  return CompressionName(param_info.param);
}

class CompressedInput : public ::testing::TestWithParam<CompressionFormat> {};

// Every input of the other end-to-end tests, compressed, gives the same reports.
TEST_P(CompressedInput, CopiesOfEveryTestInputGiveIdenticalReports) {
  ScratchDir dir;
  std::vector<fs::path> inputs;
  for (const char* folder : {"inputs", "real"}) {
    for (const auto& entry : fs::directory_iterator(TestData() / folder)) {
      inputs.push_back(entry.path());
    }
  }
  inputs.push_back("");  // an empty file
  for (const fs::path& input : inputs) {
    const std::string text = input.empty() ? "" : ReadFile(input);
    const std::string packed = Compress(GetParam(), text);
    for (const char* code : {"0", "2"}) {
      ExpectSameReports(Analyse(dir, "plain.fa", text, code),
                        Analyse(dir, "packed.fa", packed, code), input.string() + " code " + code);
    }
  }
}

// pbzip2, lbzip2, `cat a.xz b.xz` and zstd's --rsyncable tooling write many streams; all
// are read, across the reader's block boundaries, with xz stream padding and zstd
// skippable frames between them.
TEST_P(CompressedInput, EveryStreamOfAMultiStreamFileIsRead) {
  const std::string text = ManyGenes(3u << 20);
  std::string streams;
  constexpr std::size_t kPiece = 200'000;
  for (std::size_t at = 0; at < text.size(); at += kPiece) {
    if (GetParam() == CompressionFormat::kZstd) streams += ZstdSkippableFrame(at % 7);
    streams += Compress(GetParam(), text.substr(at, kPiece));
    if (GetParam() == CompressionFormat::kXz) streams += std::string(4 * (at % 3), '\0');
  }
  streams += Compress(GetParam(), "");  // an empty stream at the end
  ScratchDir dir;
  ExpectSameReports(Analyse(dir, "plain.fa", text), Analyse(dir, "streams.fa", streams),
                    "multi-stream");
}

INSTANTIATE_TEST_SUITE_P(Formats, CompressedInput, ::testing::ValuesIn(kFormats), FormatName);

// Where a format's check value lies in a one-stream file made by compress.cpp.
std::size_t CheckValueByte(CompressionFormat format, const std::string& packed) {
  switch (format) {
    case CompressionFormat::kGzip:
      return packed.size() - 6;  // CRC32 before the 4-byte length
    case CompressionFormat::kXz: {
      // The 12-byte stream footer holds the index size; the block's CRC64 precedes it.
      std::size_t stored = 0;
      for (int i = 0; i < 4; ++i) {
        stored |=
            std::size_t{static_cast<unsigned char>(packed[packed.size() - 8 + std::size_t(i)])}
            << (8 * i);
      }
      return packed.size() - 12 - (stored + 1) * 4 - 1;
    }
    case CompressionFormat::kBzip2:
      return packed.size() - 2;  // inside the combined CRC, whatever the bit padding
    case CompressionFormat::kZstd:
      return packed.size() - 1;  // the content checksum closes the frame
    case CompressionFormat::kNone:
      break;
  }
  return 0;
}

// The cause the error line gives, by format in the order of kFormats.
using Reasons = std::array<const char*, std::size(kFormats)>;
constexpr Reasons kTruncated = {"truncated gzip member", "truncated xz stream",
                                "truncated bzip2 stream", "truncated zstd frame"};
constexpr Reasons kDataAfter = {
    "data after the end of the gzip stream", "data after the end of the xz stream",
    "data after the end of the bzip2 stream", "data after the end of the zstd stream"};
// liblzma and libbz2 tell a failed check from other damage by no code of their own.
constexpr const char* kCorruptXz = "corrupt xz data or checksum mismatch";
constexpr const char* kCorruptBzip2 = "corrupt bzip2 data or CRC mismatch";

struct Damage {
  const char* name;
  std::function<std::string(CompressionFormat, const std::string&)> apply;
  Reasons reasons;
};

std::string Flip(std::string bytes, std::size_t at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 0x40);
  return bytes;
}

const Damage kDamages[] = {
    {"LastByteCut",
     [](CompressionFormat, const std::string& c) { return c.substr(0, c.size() - 1); }, kTruncated},
    {"TrailerCut",
     [](CompressionFormat, const std::string& c) { return c.substr(0, c.size() - 12); },
     kTruncated},
    {"CutInHalf", [](CompressionFormat, const std::string& c) { return c.substr(0, c.size() / 2); },
     kTruncated},
    {"OnlyTheStart", [](CompressionFormat, const std::string& c) { return c.substr(0, 6); },
     kTruncated},
    // Deflate data decodes to other text, which its CRC-32 catches.
    {"FlippedByteInTheMiddle",
     [](CompressionFormat, const std::string& c) { return Flip(c, c.size() / 2); },
     {"gzip checksum mismatch", kCorruptXz, kCorruptBzip2, "corrupt zstd data"}},
    {"BadCheckValue",
     [](CompressionFormat f, const std::string& c) { return Flip(c, CheckValueByte(f, c)); },
     {"gzip checksum mismatch", kCorruptXz, kCorruptBzip2, "zstd checksum mismatch"}},
    {"GarbageAfterTheStream",
     [](CompressionFormat, const std::string& c) { return c + "not a stream"; }, kDataAfter},
    {"StreamAfterZeroPadding",
     [](CompressionFormat f, const std::string& c) {
       // Zeros end the file where a format allows them at all; xz alone allows them
       // between streams, so give it padding of a wrong length.
       const std::size_t zeros = f == CompressionFormat::kXz ? 3 : 8;
       return c + std::string(zeros, '\0') + c;
     },
     kDataAfter},
};

struct BrokenCase {
  std::size_t format;  // in kFormats
  const Damage* damage;
};

void PrintTo(const BrokenCase& broken, std::ostream* out) {
  *out << CompressionName(kFormats[broken.format]) << " " << broken.damage->name;
}

std::vector<BrokenCase> AllBrokenCases() {
  std::vector<BrokenCase> cases;
  for (std::size_t format = 0; format < std::size(kFormats); ++format) {
    for (const Damage& damage : kDamages) cases.push_back({format, &damage});
  }
  return cases;
}

class BrokenCompressedFile : public ::testing::TestWithParam<BrokenCase> {};

// Regression guard: a damaged compressed file must never read as a shorter success.
// Regression: every kind of damage gave the same line, without its cause.
TEST_P(BrokenCompressedFile, IsAReadErrorSayingWhy) {
  static const std::string text = ManyGenes(1u << 20);
  const BrokenCase& broken = GetParam();
  const CompressionFormat format = kFormats[broken.format];
  ScratchDir dir;
  const Reports result =
      Analyse(dir, "broken.fa", broken.damage->apply(format, Compress(format, text)));
  EXPECT_EQ(result.status, 255);
  EXPECT_EQ(result.err, std::string("Error reading file: broken.fa (") +
                            broken.damage->reasons[broken.format] + ")\n");
}

INSTANTIATE_TEST_SUITE_P(Table, BrokenCompressedFile, ::testing::ValuesIn(AllBrokenCases()),
                         [](const auto& param_info) {
                           return std::string(CompressionName(kFormats[param_info.param.format])) +
                                  "_" + param_info.param.damage->name;
                         });

struct Padding {
  const char* name;
  CompressionFormat format;
  std::size_t zeros;
  const char* refusal;  // the cause of the error, or null: accepted, as the format's tool does
};

void PrintTo(const Padding& padding, std::ostream* out) {
  *out << padding.name;
}

class ZeroPadding : public ::testing::TestWithParam<Padding> {};

TEST_P(ZeroPadding, IsReadAsTheFormatsToolReadsIt) {
  const std::string text = ReadFile(TestData() / "inputs" / "ypestis.ffn");
  const Padding& padding = GetParam();
  ScratchDir dir;
  const Reports padded =
      Analyse(dir, "padded.fa", Compress(padding.format, text) + std::string(padding.zeros, '\0'));
  if (padding.refusal == nullptr) {
    ExpectSameReports(Analyse(dir, "plain.fa", text), padded, padding.name);
  } else {
    EXPECT_EQ(padded.status, 255);
    EXPECT_EQ(padded.err, std::string("Error reading file: padded.fa (") + padding.refusal + ")\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZeroPadding,
    ::testing::Values(Padding{"GzipOneZero", CompressionFormat::kGzip, 1, nullptr},
                      Padding{"GzipTapeBlock", CompressionFormat::kGzip, 10240, nullptr},
                      // Past the reader's first block, so the zeros arrive in two reads.
                      Padding{"GzipPastTheFirstBlock", CompressionFormat::kGzip, 300'000, nullptr},
                      Padding{"XzFourZeros", CompressionFormat::kXz, 4, nullptr},
                      Padding{"XzTwoZeros", CompressionFormat::kXz, 2, kDataAfter[1]},
                      Padding{"Bzip2Zeros", CompressionFormat::kBzip2, 8, kDataAfter[2]},
                      Padding{"ZstdZeros", CompressionFormat::kZstd, 8, kDataAfter[3]}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

struct WideText {
  const char* name;
  int unit_bytes;
  bool little_endian;
  bool mark;
  bool gzipped;
};

void PrintTo(const WideText& wide, std::ostream* out) {
  *out << wide.name;
}

class WideTextInput : public ::testing::TestWithParam<WideText> {};

// Read as bytes, UTF-16 text gave dozens of invented sequences and exit status 0.
TEST_P(WideTextInput, IsRefusedBeforeAnyReportIsWritten) {
  const WideText& wide = GetParam();
  std::string bytes = Widen(ReadFile(TestData() / "real" / "Mmusculus_p53.cds.fna"),
                            wide.unit_bytes, wide.little_endian, wide.mark);
  if (wide.gzipped) bytes = Gzip(bytes);
  ScratchDir dir;
  WriteFile(dir / "wide.fa", bytes);
  const RunResult run = RunTrelba({"wide.fa"}, dir.path());
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.err, "Error reading file: wide.fa (UTF-" + std::to_string(8 * wide.unit_bytes) +
                         " text; convert it to ASCII or UTF-8 first)\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
      << "report files were created";
}

INSTANTIATE_TEST_SUITE_P(
    Table, WideTextInput,
    ::testing::Values(WideText{"Utf16LittleEndianWithMark", 2, true, true, false},
                      WideText{"Utf16BigEndianWithMark", 2, false, true, false},
                      WideText{"Utf16LittleEndianNoMark", 2, true, false, false},
                      WideText{"Utf16BigEndianNoMark", 2, false, false, false},
                      WideText{"Utf32LittleEndianWithMark", 4, true, true, false},
                      WideText{"Utf32BigEndianNoMark", 4, false, false, false},
                      WideText{"GzippedUtf16", 2, true, true, true}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// A UTF-8 byte-order mark comes before the first header, where bytes belong to no
// sequence: it is read through and changes nothing.
TEST(Utf8Mark, ChangesNoReport) {
  const std::string text = ReadFile(TestData() / "inputs" / "tricky.fa");
  ScratchDir dir;
  ExpectSameReports(Analyse(dir, "plain.fa", text),
                    Analyse(dir, "marked.fa", "\xef\xbb\xbf" + text), "UTF-8 mark");
}

}  // namespace
}  // namespace trelba::test
