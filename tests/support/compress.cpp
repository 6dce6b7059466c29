#include "compress.hpp"

#include <bzlib.h>
#include <lzma.h>
#include <zlib.h>
#include <zstd.h>

#include <cstdint>
#include <cstdlib>

namespace trelba::test {

std::string Gzip(const std::string& text) {
  z_stream stream{};
  if (deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
  std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) std::abort();
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string Xz(const std::string& text) {
  std::string out(lzma_stream_buffer_bound(text.size()), '\0');
  std::size_t size = 0;
  if (lzma_easy_buffer_encode(
          1, LZMA_CHECK_CRC64, nullptr, reinterpret_cast<const std::uint8_t*>(text.data()),
          text.size(), reinterpret_cast<std::uint8_t*>(out.data()), &size, out.size()) != LZMA_OK) {
    std::abort();
  }
  out.resize(size);
  return out;
}

std::string Bzip2(const std::string& text) {
  std::string out(text.size() + text.size() / 100 + 600, '\0');
  auto size = static_cast<unsigned int>(out.size());
  if (BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(text.data()),
                               static_cast<unsigned int>(text.size()), 9, 0, 0) != BZ_OK) {
    std::abort();
  }
  out.resize(size);
  return out;
}

std::string Zstd(const std::string& text) {
  ZSTD_CCtx* context = ZSTD_createCCtx();
  if (context == nullptr || ZSTD_isError(ZSTD_CCtx_setParameter(context, ZSTD_c_checksumFlag, 1)))
    std::abort();
  std::string out(ZSTD_compressBound(text.size()), '\0');
  const std::size_t size =
      ZSTD_compress2(context, out.data(), out.size(), text.data(), text.size());
  ZSTD_freeCCtx(context);
  if (ZSTD_isError(size)) std::abort();
  out.resize(size);
  return out;
}

std::string Compress(CompressionFormat format, const std::string& text) {
  switch (format) {
    case CompressionFormat::kGzip:
      return Gzip(text);
    case CompressionFormat::kXz:
      return Xz(text);
    case CompressionFormat::kBzip2:
      return Bzip2(text);
    case CompressionFormat::kZstd:
      return Zstd(text);
    case CompressionFormat::kNone:
      break;
  }
  return text;
}

std::string CompressInStreams(CompressionFormat format, const std::string& text,
                              std::size_t piece) {
  std::string streams;
  for (std::size_t at = 0; at < text.size(); at += piece) {
    streams += Compress(format, text.substr(at, piece));
  }
  return streams;
}

std::string BgzfMember(const std::string& text) {
  z_stream stream{};
  if (deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) std::abort();
  std::string body(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(body.data());
  stream.avail_out = static_cast<uInt>(body.size());
  if (deflate(&stream, Z_FINISH) != Z_STREAM_END) std::abort();
  body.resize(stream.total_out);
  deflateEnd(&stream);
  const std::size_t size = 18 + body.size() + 8;
  if (size > 65536) std::abort();
  auto little = [](std::uint32_t value, int bytes) {
    std::string out;
    for (int k = 0; k < bytes; ++k) out += static_cast<char>((value >> (8 * k)) & 0xff);
    return out;
  };
  // ID1 ID2 CM FLG(FEXTRA) MTIME XFL OS XLEN, then the subfield B C, length 2, BSIZE.
  std::string member("\x1f\x8b\x08\x04\0\0\0\0\0\xff\x06\0BC\x02\0", 16);
  member += little(static_cast<std::uint32_t>(size - 1), 2) + body;
  const auto crc =
      crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
  return member + little(static_cast<std::uint32_t>(crc), 4) +
         little(static_cast<std::uint32_t>(text.size()), 4);
}

std::string Bgzf(const std::string& text, std::size_t piece) {
  std::string members;
  for (std::size_t at = 0; at < text.size(); at += piece) {
    members += BgzfMember(text.substr(at, piece));
  }
  return members + BgzfMember("");
}

namespace {

constexpr std::size_t kPiece = 1 << 16;

std::optional<std::string> Gunzip(const std::string& in) {
  z_stream stream{};
  if (inflateInit2(&stream, 15 + 16) != Z_OK) std::abort();
  std::string out;
  char piece[kPiece];
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  stream.avail_in = static_cast<uInt>(in.size());
  int result = Z_OK;
  while (stream.avail_in != 0) {
    stream.next_out = reinterpret_cast<Bytef*>(piece);
    stream.avail_out = sizeof piece;
    result = inflate(&stream, Z_NO_FLUSH);
    out.append(piece, sizeof piece - stream.avail_out);
    if (result == Z_STREAM_END) {
      inflateReset(&stream);  // the next member
    } else if (result != Z_OK) {
      break;
    }
  }
  inflateEnd(&stream);
  if (result != Z_STREAM_END) return std::nullopt;
  return out;
}

std::optional<std::string> Unxz(const std::string& in) {
  lzma_stream stream = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&stream, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK) std::abort();
  std::string out;
  char piece[kPiece];
  stream.next_in = reinterpret_cast<const std::uint8_t*>(in.data());
  stream.avail_in = in.size();
  lzma_ret result = LZMA_OK;
  while (result == LZMA_OK) {
    stream.next_out = reinterpret_cast<std::uint8_t*>(piece);
    stream.avail_out = sizeof piece;
    result = lzma_code(&stream, LZMA_FINISH);
    out.append(piece, sizeof piece - stream.avail_out);
  }
  lzma_end(&stream);
  if (result != LZMA_STREAM_END) return std::nullopt;
  return out;
}

std::optional<std::string> Bunzip2(const std::string& in) {
  std::string out;
  char piece[kPiece];
  std::size_t at = 0;
  do {  // one stream after another
    bz_stream stream{};
    if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK) std::abort();
    stream.next_in = const_cast<char*>(in.data() + at);
    stream.avail_in = static_cast<unsigned>(in.size() - at);
    int result = BZ_OK;
    while (result == BZ_OK) {
      stream.next_out = piece;
      stream.avail_out = sizeof piece;
      result = BZ2_bzDecompress(&stream);
      out.append(piece, sizeof piece - stream.avail_out);
      if (result == BZ_OK && stream.avail_in == 0 && stream.avail_out != 0) result = BZ_DATA_ERROR;
    }
    at = in.size() - stream.avail_in;
    BZ2_bzDecompressEnd(&stream);
    if (result != BZ_STREAM_END) return std::nullopt;
  } while (at < in.size());
  return out;
}

std::optional<std::string> Unzstd(const std::string& in) {
  ZSTD_DCtx* context = ZSTD_createDCtx();
  std::string out;
  char piece[kPiece];
  ZSTD_inBuffer input{in.data(), in.size(), 0};
  std::size_t result = 0;  // 0 at a frame's end, with all of it given out
  do {
    ZSTD_outBuffer output{piece, sizeof piece, 0};
    result = ZSTD_decompressStream(context, &output, &input);
    if (ZSTD_isError(result)) break;
    out.append(piece, output.pos);
    if (output.pos == 0 && input.pos == input.size) break;  // cut short
  } while (input.pos < input.size || result != 0);
  ZSTD_freeDCtx(context);
  if (result != 0) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> Decompress(CompressionFormat format, const std::string& compressed) {
  switch (format) {
    case CompressionFormat::kGzip:
      return Gunzip(compressed);
    case CompressionFormat::kXz:
      return Unxz(compressed);
    case CompressionFormat::kBzip2:
      return Bunzip2(compressed);
    case CompressionFormat::kZstd:
      return Unzstd(compressed);
    case CompressionFormat::kNone:
      break;
  }
  return compressed;
}

std::optional<std::vector<std::size_t>> BgzfMemberSizes(const std::string& bytes) {
  // std::size_t, not unsigned char: shifted, a char is promoted to int, which the
  // sanitizers' build warns of as a change of sign.
  const auto byte = [&](std::size_t at) {
    return static_cast<std::size_t>(static_cast<unsigned char>(bytes[at]));
  };
  std::vector<std::size_t> sizes;
  for (std::size_t at = 0; at < bytes.size();) {
    if (bytes.size() - at < 28 || byte(at) != 0x1f || byte(at + 1) != 0x8b || byte(at + 2) != 8 ||
        byte(at + 3) != 4 || byte(at + 10) != 6 || byte(at + 11) != 0 || bytes[at + 12] != 'B' ||
        bytes[at + 13] != 'C' || byte(at + 14) != 2 || byte(at + 15) != 0) {
      return std::nullopt;
    }
    const std::size_t size = (byte(at + 16) | byte(at + 17) << 8) + 1;
    if (size > bytes.size() - at) return std::nullopt;
    const std::size_t text = byte(at + size - 4) | byte(at + size - 3) << 8 |
                             byte(at + size - 2) << 16 | byte(at + size - 1) << 24;
    if (text > 65536) return std::nullopt;
    sizes.push_back(size);
    at += size;
  }
  return sizes;
}

std::string ZstdSkippableFrame(std::size_t size) {
  std::string frame("\x53\x2a\x4d\x18", 4);
  for (int shift = 0; shift < 32; shift += 8) frame += static_cast<char>((size >> shift) & 0xff);
  return frame + std::string(size, 'k');
}

std::string Widen(const std::string& ascii, int unit_bytes, bool little_endian, bool mark) {
  std::string wide;
  auto put = [&](unsigned code) {
    for (int i = 0; i < unit_bytes; ++i) {
      const int shift = 8 * (little_endian ? i : unit_bytes - 1 - i);
      wide += static_cast<char>((code >> shift) & 0xffu);
    }
  };
  if (mark) put(0xfeffu);
  for (const char c : ascii) put(static_cast<unsigned char>(c));
  return wide;
}

std::string ManyGenes(std::size_t size) {
  std::string text;
  text.reserve(size + 64);
  for (int gene = 0; text.size() < size; ++gene) {
    text += ">g" + std::to_string(gene) + "\n";
    text += "ATGGCTAAACGTTTCCAGGATTGGCTTGAACCGTATGGTCACATCAAGTCT";
    static const char* const kCodons[] = {"GCT", "GCC", "GCA", "GCG", "CTG", "TTA", "CTC"};
    text += kCodons[gene % 7];
    text += "TAA\n";
  }
  return text;
}

}  // namespace trelba::test
