// Which compressed formats this build of the tool reads. gzip always; xz, bzip2 and zstd
// only where their libraries were there to build with (CMake's TRELBA_WITH_XZ,
// TRELBA_WITH_BZIP2, TRELBA_WITH_ZSTD: Debian has no Windows build of them). Input in a
// format left out is refused, naming the formats the build does read.
#pragma once

#include <span>
#include <string>

#include "input/compression_format.hpp"

namespace trelba {

// The compressed formats this build decodes, in the order messages list them.
std::span<const CompressionFormat> ReadableFormats();

// Why input compressed in `format` is refused by a build that decodes only `readable`:
// "xz-compressed; this build of Trelba reads plain and gzip input only". Empty for plain
// input and for a format in `readable`.
std::string UnreadableFormatReason(CompressionFormat format,
                                   std::span<const CompressionFormat> readable);

// The same for this build, for the error line: null when `format` is read.
const char* UnreadableFormatRefusal(CompressionFormat format);

}  // namespace trelba
