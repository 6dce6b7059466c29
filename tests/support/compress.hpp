// Compressed test data made in the test with the compression libraries themselves, so
// the tests need no command-line compressors.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "input/compression_format.hpp"

namespace trelba {

// For GoogleTest, which would print the format as raw bytes.
inline void PrintTo(CompressionFormat format, std::ostream* out) {
  *out << CompressionName(format);
}

}  // namespace trelba

namespace trelba::test {

// `text` as one gzip member, one xz stream (CRC64 check, fast preset), one bzip2 stream, or one
// zstd frame (with a content checksum).
std::string Gzip(const std::string& text);
std::string Xz(const std::string& text);
std::string Bzip2(const std::string& text);
std::string Zstd(const std::string& text);

// One of the above by format; kNone gives `text` itself.
std::string Compress(CompressionFormat format, const std::string& text);

// `text` cut into pieces of `piece` bytes, each compressed on its own, one after another:
// a multi-stream file, as bgzip, pbzip2 or a `cat` of compressed files write.
std::string CompressInStreams(CompressionFormat format, const std::string& text, std::size_t piece);

// `text` as one BGZF member, as bgzip writes it: a gzip member with the "BC" extra field
// holding its size less one (the text must compress to less than 64 KiB).
std::string BgzfMember(const std::string& text);

// `text` in BGZF members of `piece` bytes of text, then the empty end-of-file member.
std::string Bgzf(const std::string& text, std::size_t piece = 65280);

// The text of `compressed`, every member, stream or frame of it in turn, through the
// format's own library; nullopt when the library finds it damaged.
std::optional<std::string> Decompress(CompressionFormat format, const std::string& compressed);

// The sizes of the BGZF members `bytes` is made of, each checked against the format (its
// extra field, its size field, at most 64 KiB); nullopt when it is not BGZF.
std::optional<std::vector<std::size_t>> BgzfMemberSizes(const std::string& bytes);

// A zstd skippable frame of `size` bytes of payload.
std::string ZstdSkippableFrame(std::size_t size);

// `ascii` as UTF-16 or UTF-32, little- or big-endian, with or without a byte-order mark.
std::string Widen(const std::string& ascii, int unit_bytes, bool little_endian, bool mark);

// At least `size` bytes of FASTA: short genes that differ in one codon.
std::string ManyGenes(std::size_t size);

}  // namespace trelba::test
