#include "reports/cell_text.hpp"

namespace trelba {
namespace {

bool IsControl(unsigned char byte) {
  return byte < 0x20 || byte == 0x7f;
}

}  // namespace

void AppendNumberField(OutputBuffer& out, double value) {
  char* p = out.Reserve(kMaxNumberText + 1);
  *p++ = '\t';
  out.Commit(WriteNumberOrNa(p, value));
}

void AppendCountField(OutputBuffer& out, std::uint64_t count) {
  char* p = out.Reserve(kMaxNumberText + 1);
  *p++ = '\t';
  out.Commit(WriteInteger(p, count));
}

std::size_t Utf8Length(const unsigned char* p, const unsigned char* end) {
  const unsigned char lead = *p;
  std::size_t size = 0;
  unsigned char low = 0x80, high = 0xbf;  // the range of the second byte
  if (lead >= 0xc2 && lead <= 0xdf) {
    size = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    size = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    size = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - p) < size || p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < size; ++i) {
    if (p[i] < 0x80 || p[i] > 0xbf) return 0;
  }
  return size;
}

void AppendTableText(OutputBuffer& out, std::string_view text) {
  const bool quoted = text.find('"') != std::string_view::npos;
  if (quoted) out.Append("\"");
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  const auto* start = begin;  // of the bytes not yet appended, which stand as they are
  auto flush = [&](const unsigned char* upto) {
    out.Append(std::string_view(reinterpret_cast<const char*>(start),
                                static_cast<std::size_t>(upto - start)));
  };
  for (const auto* p = begin; p != end;) {
    const unsigned char byte = *p;
    if (byte < 0x80 && !IsControl(byte) && byte != '"') {
      ++p;
      continue;
    }
    if (byte == '"') {
      flush(p + 1);
      out.Append("\"");  // doubled
      start = ++p;
      continue;
    }
    const std::size_t size = byte < 0x80 ? 0 : Utf8Length(p, end);
    if (size != 0) {
      p += size;
      continue;
    }
    flush(p);
    out.Append(std::string_view(&kTextReplacement, 1));
    start = ++p;
  }
  flush(end);
  if (quoted) out.Append("\"");
}

}  // namespace trelba
