#include "input/gff3_annotation.hpp"

#include <algorithm>
#include <charconv>

#include "input/input_survey.hpp"
#include "input/spill_record.hpp"

namespace trelba {
namespace {

bool ReadNumber(std::string_view text, std::uint64_t& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// An attribute's value with its %XX escapes undone, at most kMaxIdBytes of it.
void Unescape(std::string_view value, std::string& to) {
  to.clear();
  for (std::size_t i = 0; i < value.size() && to.size() < kMaxIdBytes; ++i) {
    if (value[i] == '%' && i + 2 < value.size() + 0 && HexDigit(value[i + 1]) >= 0 &&
        HexDigit(value[i + 2]) >= 0) {
      to += static_cast<char>(HexDigit(value[i + 1]) * 16 + HexDigit(value[i + 2]));
      i += 2;
    } else {
      to += value[i];
    }
  }
}

void AppendNumber(std::string& to, std::uint64_t n) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, n);
  to.append(digits, result.ptr);
}

constexpr std::uint64_t kReadMark = std::uint64_t{1} << 63;

}  // namespace

std::uint64_t NameHash(std::string_view name) {
  std::uint64_t hash = 0xcbf29ce484222325;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3;
  }
  return hash;
}

GffAnnotation::GffAnnotation() : store_(std::size_t{4} << 20) {}

void GffAnnotation::Clear() {
  store_.Clear();
  keys_.clear();
  sealed_ = false;
  tally_ = lines_tally_ = AnnotationTally{};
}

bool GffAnnotation::AddLine(std::string_view line, std::uint64_t number) {
  if (line.empty() || line[0] == '#') return true;
  std::string_view fields[9];
  std::size_t count = 0;
  for (std::string_view rest = line; count < 9;) {
    const std::size_t tab = rest.find('\t');
    fields[count++] = rest.substr(0, tab);
    if (tab == std::string_view::npos) break;
    rest.remove_prefix(tab + 1);
  }
  if (count < 9 || fields[2] != "CDS") return true;
  std::uint64_t start = 0;
  std::uint64_t end = 0;
  if (!ReadNumber(fields[3], start) || !ReadNumber(fields[4], end) || start == 0 || start > end) {
    tally_.unreadable.Add(number);
    return true;
  }
  const bool minus = fields[6] == "-";
  const std::uint8_t phase = fields[7] == "1" ? 1 : fields[7] == "2" ? 2 : 0;
  std::string_view id, parent;
  std::uint16_t table = 0;
  bool pseudo = false;
  names_.Clear();
  std::string_view attributes = fields[8];
  while (!attributes.empty()) {
    const std::size_t semicolon = std::min(attributes.find(';'), attributes.size());
    std::string_view pair = attributes.substr(0, semicolon);
    attributes.remove_prefix(std::min(semicolon + 1, attributes.size()));
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = pair.substr(0, equals);
    const std::string_view value = pair.substr(equals + 1);
    if (key == "ID") {
      id = value;
    } else if (key == "Parent") {
      parent = value.substr(0, value.find(','));
    } else if (key == "locus_tag") {
      Unescape(value, names_.locus_tag);
    } else if (key == "gene") {
      Unescape(value, names_.gene);
    } else if (key == "protein_id") {
      Unescape(value, names_.protein_id);
    } else if (key == "product") {
      Unescape(value, names_.product);
    } else if (key == "transl_table") {
      std::uint64_t n = 0;
      if (ReadNumber(value, n))
        table = static_cast<std::uint16_t>(std::min<std::uint64_t>(n, 0xffff));
    } else if (key == "pseudo") {
      pseudo = value == "true";
    }
  }
  // The CDS lines of one parent are one coding sequence; without a parent, those of one
  // ID; without either, the line alone.
  std::string& group = fallback_;
  if (!parent.empty()) {
    group.assign(parent);
  } else if (!id.empty()) {
    group.assign(id);
  } else {
    group.clear();
    group += '\n';
    AppendNumber(group, number);
  }
  std::string& name = entry_.parent;  // scratch
  Unescape(!id.empty() ? id : parent, name);
  if (name.empty()) {
    name.assign(fields[0]);
    name += "_line";
    AppendNumber(name, number);
  }
  NameFeature(names_, name, feature_);
  bytes_.clear();
  PutField(bytes_, number);
  PutField(bytes_, start - 1);
  PutField(bytes_, end);
  PutField(bytes_, static_cast<std::uint8_t>(minus));
  PutField(bytes_, phase);
  PutField(bytes_, table);
  PutField(bytes_, static_cast<std::uint8_t>(pseudo));
  PutTextField(bytes_, fields[0]);
  PutTextField(bytes_, group);
  PutTextField(bytes_, feature_.id);
  PutTextField(bytes_, feature_.description);
  const std::uint64_t offset = store_.size();
  if (!store_.Append(bytes_.data(), bytes_.size())) return false;
  keys_.push_back({NameHash(fields[0]), NameHash(group.substr(0, kMaxIdBytes)), offset});
  return true;
}

void GffAnnotation::Seal() {
  if (sealed_) return;
  std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) {
    return a.sequence != b.sequence ? a.sequence < b.sequence
           : a.parent != b.parent   ? a.parent < b.parent
                                    : a.offset < b.offset;
  });
  sealed_ = true;
  lines_tally_ = tally_;
}

void GffAnnotation::BeginGenome() {
  Seal();
  for (Key& key : keys_) key.offset &= ~kReadMark;
  tally_ = lines_tally_;
}

bool GffAnnotation::Take(std::uint64_t offset, Entry& entry) {
  std::uint8_t minus = 0;
  std::uint8_t pseudo = 0;
  if (!(GetField(store_, offset, entry.line) && GetField(store_, offset, entry.part.start) &&
        GetField(store_, offset, entry.part.end) && GetField(store_, offset, minus) &&
        GetField(store_, offset, entry.phase) && GetField(store_, offset, entry.transl_table) &&
        GetField(store_, offset, pseudo) && GetTextField(store_, offset, entry.sequence) &&
        GetTextField(store_, offset, entry.parent) && GetTextField(store_, offset, entry.id) &&
        GetTextField(store_, offset, entry.description))) {
    return false;
  }
  entry.part.minus = minus != 0;
  entry.pseudo = pseudo != 0;
  return true;
}

bool GffAnnotation::TallyUnread() {
  for (std::size_t k = 0; k < keys_.size();) {
    std::size_t next = k;
    bool read = false;
    while (next != keys_.size() && keys_[next].sequence == keys_[k].sequence &&
           keys_[next].parent == keys_[k].parent) {
      read |= (keys_[next].offset & kReadMark) != 0;
      ++next;
    }
    if (!read) {
      if (!Take(keys_[k].offset, entry_)) return false;
      tally_.without_sequence.Add(entry_.line);
    }
    k = next;
  }
  return true;
}

}  // namespace trelba
