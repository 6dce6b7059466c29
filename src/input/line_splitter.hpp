// Lines out of text that arrives in pieces: each line whole (without its line end, a
// carriage return before the line feed dropped), straight from the piece where it lies in
// one, else from a carry of at most kMaxLine bytes; a longer line is cut there.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace trelba {

inline constexpr std::size_t kMaxLine = std::size_t{1} << 20;

class LineSplitter {
 public:
  // Calls `line(text)` for every line that ends in [data, data + size), until it returns
  // false: then the bytes of [data, data + size) used so far, that line's end included
  // (else `size`).
  template <class OnLine>
  std::size_t Feed(const char* data, std::size_t size, OnLine&& line) {
    const char* p = data;
    const char* const end = data + size;
    while (p != end) {
      const auto* found =
          static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      if (found == nullptr) {
        Carry(p, static_cast<std::size_t>(end - p));
        return size;
      }
      std::string_view text;
      if (carry_.empty() && !cut_) {
        text = std::string_view(p, static_cast<std::size_t>(found - p));
      } else {
        Carry(p, static_cast<std::size_t>(found - p));
        text = carry_;
      }
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      ++lines_;
      const bool more = line(text);
      carry_.clear();
      cut_ = false;
      p = found + 1;
      if (!more) return static_cast<std::size_t>(p - data);
    }
    return size;
  }

  // The last line, when the text does not end with a line end.
  template <class OnLine>
  void Finish(OnLine&& line) {
    if (carry_.empty() && !cut_) return;
    std::string_view text = carry_;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    ++lines_;
    line(text);
    carry_.clear();
    cut_ = false;
  }

  void Clear() {
    carry_.clear();
    cut_ = false;
    lines_ = 0;
    cut_lines_ = 0;
  }

  std::uint64_t lines() const { return lines_; }          // lines handed out
  std::uint64_t cut_lines() const { return cut_lines_; }  // lines longer than kMaxLine

 private:
  void Carry(const char* p, std::size_t n) {
    const std::size_t room = kMaxLine - std::min(carry_.size(), kMaxLine);
    if (n > room && !cut_) {
      cut_ = true;
      ++cut_lines_;
    }
    carry_.append(p, std::min(n, room));
  }

  std::string carry_;
  bool cut_ = false;
  std::uint64_t lines_ = 0;
  std::uint64_t cut_lines_ = 0;
};

}  // namespace trelba
