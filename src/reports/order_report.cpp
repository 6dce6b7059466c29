#include "reports/order_report.hpp"

#include <array>
#include <cstdint>
#include <cstring>

#include "numeric/number_format.hpp"

namespace trelba {
namespace {

// "1 " to "21 ": the start of each family's line, copied whole (four bytes) and then
// counted by its length.
struct LineStart {
  std::array<char, 4> text{};
  std::uint8_t size = 0;
};

constexpr std::array<LineStart, kFamilyCount + 1> kLineStarts = [] {
  std::array<LineStart, kFamilyCount + 1> starts{};
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    std::size_t n = 0;
    if (f >= 10) starts[f].text[n++] = static_cast<char>('0' + f / 10);
    starts[f].text[n++] = static_cast<char>('0' + f % 10);
    starts[f].text[n++] = ' ';
    starts[f].size = static_cast<std::uint8_t>(n);
  }
  return starts;
}();

}  // namespace

void WriteOrderBlock(OutputBuffer& out, const OrderTexts& order) {
  constexpr std::size_t kMaxBlockSize = kFamilyCount * (3 + kMaxNumberText + 1) + 1;
  char* p = out.Reserve(kMaxBlockSize);
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    std::memcpy(p, kLineStarts[f].text.data(), kLineStarts[f].text.size());
    p = CopyOrderText(p + kLineStarts[f].size, order, f);
    *p++ = '\n';
  }
  *p++ = '\n';
  out.Commit(p);
}

}  // namespace trelba
