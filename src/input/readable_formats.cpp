#include "input/readable_formats.hpp"

#include <algorithm>
#include <array>

namespace trelba {
namespace {

constexpr CompressionFormat kReadable[] = {
    CompressionFormat::kGzip,
#if TRELBA_WITH_XZ
    CompressionFormat::kXz,
#endif
#if TRELBA_WITH_BZIP2
    CompressionFormat::kBzip2,
#endif
#if TRELBA_WITH_ZSTD
    CompressionFormat::kZstd,
#endif
};

constexpr std::array kEveryFormat = {CompressionFormat::kNone, CompressionFormat::kGzip,
                                     CompressionFormat::kXz, CompressionFormat::kBzip2,
                                     CompressionFormat::kZstd};

}  // namespace

std::span<const CompressionFormat> ReadableFormats() {
  return kReadable;
}

std::string UnreadableFormatReason(CompressionFormat format,
                                   std::span<const CompressionFormat> readable) {
  if (format == CompressionFormat::kNone ||
      std::find(readable.begin(), readable.end(), format) != readable.end()) {
    return {};
  }
  // "plain", then each readable format, the last after "and".
  std::string reason =
      std::string(CompressionName(format)) + "-compressed; this build of Trelba reads plain";
  for (std::size_t i = 0; i < readable.size(); ++i) {
    reason += i + 1 == readable.size() ? " and " : ", ";
    reason += CompressionName(readable[i]);
  }
  return reason + " input only";
}

const char* UnreadableFormatRefusal(CompressionFormat format) {
  static const std::array<std::string, kEveryFormat.size()> reasons = [] {
    std::array<std::string, kEveryFormat.size()> texts;
    for (std::size_t i = 0; i < kEveryFormat.size(); ++i) {
      texts[i] = UnreadableFormatReason(kEveryFormat[i], ReadableFormats());
    }
    return texts;
  }();
  for (std::size_t i = 0; i < kEveryFormat.size(); ++i) {
    if (kEveryFormat[i] == format) return reasons[i].empty() ? nullptr : reasons[i].c_str();
  }
  return nullptr;
}

}  // namespace trelba
