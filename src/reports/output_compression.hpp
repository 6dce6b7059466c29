// Which compression an output's name asks for, told by its last suffix in any case: .gz
// and .bgz gzip (in BGZF members), .zst zstd, .xz xz, .bz2 bzip2. Whatever a name promises
// is written, or the name is refused: never plain text behind a compressed name. xz, bzip2
// and zstd are written where the build reads them (input/readable_formats.hpp).
#pragma once

#include <string>
#include <string_view>

#include "input/compression_format.hpp"

namespace trelba {

// The format `name` asks for; kNone for plain text (and for a name refused below).
CompressionFormat OutputCompressionOf(std::string_view name);

// Why an output cannot be written under `name`: a compressed format this build does not
// write ("xz output: this build of Trelba writes plain and gzip output only"), or one
// Trelba never writes (".zip: ..."). Empty when it can.
std::string OutputNameRefusal(std::string_view name);

}  // namespace trelba
