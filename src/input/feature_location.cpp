#include "input/feature_location.hpp"

#include <algorithm>

namespace trelba {
namespace {

constexpr std::uint64_t kLargestPosition = 1'000'000'000'000'000;
constexpr int kDeepest = 8;

class LocationReader {
 public:
  LocationReader(std::string_view text, std::uint64_t length, bool circular,
                 std::vector<LocationPart>& parts)
      : text_(text), length_(length), circular_(circular), parts_(parts) {}

  LocationStatus Read() {
    const bool read = Location(0) && at_ == text_.size();
    if (other_record_) return LocationStatus::kOtherRecord;
    return read ? LocationStatus::kRead : LocationStatus::kUnreadable;
  }

 private:
  bool Take(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Location(int depth) {
    if (depth > kDeepest) return false;
    if (Take("complement(")) {
      const std::size_t first = parts_.size();
      if (!Location(depth + 1) || !Take(")")) return false;
      std::reverse(parts_.begin() + static_cast<std::ptrdiff_t>(first), parts_.end());
      for (auto p = parts_.begin() + static_cast<std::ptrdiff_t>(first); p != parts_.end(); ++p) {
        p->minus = !p->minus;
      }
      return true;
    }
    if (Take("join(") || Take("order(")) {
      do {
        if (!Location(depth + 1)) return false;
      } while (Take(","));
      return Take(")");
    }
    return Stretch();
  }

  // "[accession:]a..b", "a", "a^b".
  bool Stretch() {
    const std::size_t colon = text_.find(':', at_);
    const std::size_t stop = text_.find_first_of(",)", at_);
    if (colon != std::string_view::npos && colon < stop) {
      other_record_ = true;
      at_ = colon + 1;
    }
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    if (!Position(true, first)) return false;
    if (Take("^")) {
      std::uint64_t next = 0;
      if (!Position(false, next)) return false;
      // Between two bases: a..a+1, or the origin of a circular record.
      if (next != first + 1 && !(first == length_ && next == 1)) return false;
      return Add(first, first);
    }
    if (!Take("..")) return Add(first - 1, first);
    if (!Position(false, last)) return false;
    if (first <= last) return Add(first - 1, last);
    if (!circular_) return false;
    return Add(first - 1, length_) && Add(0, last);
  }

  // One position: "12", "<12", ">12", "one-of(5,8)", "(5.8)"; a start takes the first
  // choice, an end the last. Positions count from 1.
  bool Position(bool start, std::uint64_t& value) {
    if (Take("<") || Take(">")) return Number(value);
    if (Take("one-of(")) {
      std::uint64_t choice = 0;
      bool first = true;
      do {
        if (!Number(choice)) return false;
        if (first || !start) value = choice;
        first = false;
      } while (Take(","));
      return Take(")");
    }
    if (Take("(")) {
      std::uint64_t left = 0;
      std::uint64_t right = 0;
      if (!Number(left) || !Take(".") || !Number(right) || !Take(")")) return false;
      value = start ? left : right;
      return true;
    }
    return Number(value);
  }

  bool Number(std::uint64_t& value) {
    value = 0;
    const std::size_t begin = at_;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
      value = value * 10 + static_cast<std::uint64_t>(text_[at_++] - '0');
      if (value > kLargestPosition) return false;
    }
    return at_ != begin && value != 0;
  }

  bool Add(std::uint64_t start, std::uint64_t end) {
    if (parts_.size() >= kMaxLocationParts) return false;
    parts_.push_back({start, end, false});
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::uint64_t length_;
  bool circular_;
  bool other_record_ = false;
  std::vector<LocationPart>& parts_;
};

}  // namespace

LocationStatus ReadLocation(std::string_view text, std::uint64_t length, bool circular,
                            std::vector<LocationPart>& parts) {
  return LocationReader(text, length, circular, parts).Read();
}

}  // namespace trelba
