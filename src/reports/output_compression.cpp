#include "reports/output_compression.hpp"

#include <algorithm>

#include "input/readable_formats.hpp"
#include "reports/member_codec.hpp"

namespace trelba {
namespace {

struct Suffix {
  std::string_view text;  // in lower case
  CompressionFormat format;
};

constexpr Suffix kWritten[] = {
    {".gz", CompressionFormat::kGzip},   {".bgz", CompressionFormat::kGzip},
    {".zst", CompressionFormat::kZstd},  {".xz", CompressionFormat::kXz},
    {".bz2", CompressionFormat::kBzip2},
};
// Other compressed or archive formats: a table under such a name would be read by nothing.
constexpr std::string_view kNeverWritten[] = {".zip", ".z",  ".lz4", ".lzma", ".lz",
                                              ".lzo", ".7z", ".br",  ".sz",   ".rar"};

bool EndsWithInAnyCase(std::string_view name, std::string_view suffix) {
  if (name.size() <= suffix.size()) return false;  // a suffix alone is no name of a format
  const std::string_view end = name.substr(name.size() - suffix.size());
  return std::equal(end.begin(), end.end(), suffix.begin(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

bool Writes(CompressionFormat format) {
  const auto readable = ReadableFormats();
  return std::find(readable.begin(), readable.end(), format) != readable.end();
}

}  // namespace

CompressionFormat OutputCompressionOf(std::string_view name) {
  for (const Suffix& suffix : kWritten) {
    if (EndsWithInAnyCase(name, suffix.text)) {
      return Writes(suffix.format) ? suffix.format : CompressionFormat::kNone;
    }
  }
  return CompressionFormat::kNone;
}

std::string OutputNameRefusal(std::string_view name) {
  for (const Suffix& suffix : kWritten) {
    if (!EndsWithInAnyCase(name, suffix.text) || Writes(suffix.format)) continue;
    // "plain", then each written format, the last after "and".
    std::string reason =
        std::string(CompressionName(suffix.format)) + " output: this build of Trelba writes plain";
    const auto written = ReadableFormats();
    for (std::size_t i = 0; i < written.size(); ++i) {
      reason += i + 1 == written.size() ? " and " : ", ";
      reason += CompressionName(written[i]);
    }
    return reason + " output only";
  }
  for (const std::string_view suffix : kNeverWritten) {
    if (EndsWithInAnyCase(name, suffix)) {
      return std::string(name.substr(name.size() - suffix.size())) +
             " is a compressed format Trelba does not write: end the name in .gz, .zst, .xz or "
             ".bz2, or in none of them for plain text";
    }
  }
  return {};
}

MemberLayout LayoutOf(CompressionFormat format) {
  switch (format) {
#if TRELBA_WITH_ZSTD
    case CompressionFormat::kZstd:
      return ZstdLayout();
#endif
#if TRELBA_WITH_XZ
    case CompressionFormat::kXz:
      return XzLayout();
#endif
#if TRELBA_WITH_BZIP2
    case CompressionFormat::kBzip2:
      return Bzip2Layout();
#endif
    default:
      return BgzfLayout();
  }
}

std::unique_ptr<MemberCodec> MakeMemberCodec(CompressionFormat format) {
  switch (format) {
#if TRELBA_WITH_ZSTD
    case CompressionFormat::kZstd:
      return MakeZstdCodec();
#endif
#if TRELBA_WITH_XZ
    case CompressionFormat::kXz:
      return MakeXzCodec();
#endif
#if TRELBA_WITH_BZIP2
    case CompressionFormat::kBzip2:
      return MakeBzip2Codec();
#endif
    default:
      return MakeBgzfCodec();
  }
}

}  // namespace trelba
