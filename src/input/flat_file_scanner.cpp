#include "input/flat_file_scanner.hpp"

#include <algorithm>
#include <charconv>

#include "input/cds_cutting.hpp"
#include "input/input_survey.hpp"

namespace trelba {
namespace {

// The longest location text read; a longer one is unreadable.
constexpr std::size_t kMaxLocationText = std::size_t{1} << 20;
// Letters gathered before they go to the sequence store.
constexpr std::size_t kLetterBatch = std::size_t{1} << 16;

bool StartsWith(std::string_view text, std::string_view word) {
  return text.substr(0, word.size()) == word;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The first word of `text` and what follows it.
std::string_view FirstWord(std::string_view& text) {
  text = Trim(text);
  std::size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

// A small number: 0 when `text` is none.
std::uint64_t Number(std::string_view text) {
  std::uint64_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size() ? value : 0;
}

}  // namespace

void FlatFileScanner::Begin(FlatFormat format) {
  format_ = format;
  lines_.Clear();
  section_ = Section::kOutside;
  sequences_ = 0;
  tally_ = AnnotationTally{};
  error_ = {};
  StartRecord();
}

void FlatFileScanner::Fail(const FailureCause& cause) {
  KeepFirst(error_, cause);
}

void FlatFileScanner::Scan(const char* data, std::size_t size, SequenceSink& sink) {
  if (failed()) return;
  lines_.Feed(data, size, [&](std::string_view line) {
    Line(line, sink);
    return !failed();
  });
}

void FlatFileScanner::Finish(SequenceSink& sink) {
  if (failed()) return;
  lines_.Finish([&](std::string_view line) { Line(line, sink); });
  if (section_ != Section::kOutside && !failed()) EndRecord(sink);
  tally_.long_lines.count = lines_.cut_lines();
}

void FlatFileScanner::Line(std::string_view line, SequenceSink& sink) {
  if (format_ == FlatFormat::kGenBank) {
    GenBankLine(line, sink);
  } else {
    EmblLine(line, sink);
  }
}

void FlatFileScanner::StartRecord() {
  name_.clear();
  accession_.clear();
  version_.clear();
  length_ = 0;
  circular_ = protein_ = has_sequence_ = false;
  record_features_ = 0;
  first_feature_line_ = 0;
  features_.Clear();
  sequence_.Clear();
  letters_.clear();
  in_feature_ = false;
  value_ = nullptr;
  in_quote_ = false;
}

void FlatFileScanner::GenBankLine(std::string_view line, SequenceSink& sink) {
  if (StartsWith(line, "LOCUS")) {
    if (section_ != Section::kOutside) EndRecord(sink);
    StartRecord();
    ReadLocus(line);
    section_ = Section::kHeader;
    return;
  }
  switch (section_) {
    case Section::kOutside:
      return;
    case Section::kSequence:
      if (StartsWith(line, "//")) {
        EndRecord(sink);
      } else {
        SequenceLine(line);
      }
      return;
    case Section::kFeatures:
      if (line.empty() || line[0] == ' ' || line[0] == '\t') {
        FeatureLine(line, 0);
        return;
      }
      EndFeature();
      section_ = Section::kHeader;
      break;
    case Section::kHeader:
      break;
  }
  std::string_view rest = line;
  const std::string_view keyword = FirstWord(rest);
  if (StartsWith(line, "//")) {
    EndRecord(sink);
  } else if (keyword == "ORIGIN") {
    has_sequence_ = true;
    section_ = Section::kSequence;
  } else if (keyword == "FEATURES") {
    section_ = Section::kFeatures;
  } else if (keyword == "ACCESSION" && accession_.empty()) {
    accession_ = FirstWord(rest);
  } else if (keyword == "VERSION" && version_.empty()) {
    version_ = FirstWord(rest);
  }
}

void FlatFileScanner::EmblLine(std::string_view line, SequenceSink& sink) {
  const std::string_view code = line.substr(0, 2);
  if (code == "ID") {
    if (section_ != Section::kOutside) EndRecord(sink);
    StartRecord();
    ReadId(line.substr(2));
    section_ = Section::kHeader;
    return;
  }
  if (section_ == Section::kOutside) return;
  if (code == "//") {
    EndRecord(sink);
    return;
  }
  if (section_ == Section::kSequence) {
    SequenceLine(line);
    return;
  }
  if (code == "FT") {
    section_ = Section::kFeatures;
    FeatureLine(line, 2);
    return;
  }
  if (section_ == Section::kFeatures) {
    EndFeature();
    section_ = Section::kHeader;
  }
  std::string_view rest = line.substr(code.size());
  if (code == "SQ") {
    has_sequence_ = true;
    section_ = Section::kSequence;
  } else if (code == "AC" && accession_.empty()) {
    std::string_view word = FirstWord(rest);
    while (!word.empty() && word.back() == ';') word.remove_suffix(1);
    accession_ = word;
  } else if (code == "SV" && version_.empty()) {
    version_ = FirstWord(rest);
  }
}

// "LOCUS       NC_005816   9609 bp    DNA     circular BCT 21-JUL-2008".
void FlatFileScanner::ReadLocus(std::string_view line) {
  std::string_view rest = line.substr(5);
  name_ = FirstWord(rest);
  std::string_view previous;
  for (std::string_view word = FirstWord(rest); !word.empty(); word = FirstWord(rest)) {
    if ((word == "bp" || word == "aa") && Number(previous) != 0) {
      length_ = Number(previous);
      protein_ = word == "aa";
    }
    if (word == "circular") circular_ = true;
    previous = word;
  }
}

// "ID   X56734; SV 1; linear; mRNA; STD; PLN; 1859 BP." (or before 2006 "ID   TRBG361
// standard; RNA; PLN; 1859 BP.").
void FlatFileScanner::ReadId(std::string_view text) {
  bool first = true;
  while (!text.empty()) {
    const std::size_t semicolon = std::min(text.find(';'), text.size());
    std::string_view field = Trim(text.substr(0, semicolon));
    text.remove_prefix(std::min(semicolon + 1, text.size()));
    if (first) {
      name_ = FirstWord(field);
      first = false;
      continue;
    }
    std::string_view rest = field;
    const std::string_view word = FirstWord(rest);
    const std::string_view next = FirstWord(rest);
    if (word == "SV" && !next.empty()) {
      version_ = name_;
      version_ += '.';
      version_ += next;
    } else if (word == "circular") {
      circular_ = true;
    } else if (StartsWith(next, "BP") || StartsWith(next, "AA")) {
      length_ = Number(word);
      protein_ = StartsWith(next, "AA");
    }
  }
}

// A line of the feature table: its key at column 6 (counted from 1), or, from column 22,
// its location, its qualifiers and their continuations. EMBL's "FT" counts as blank.
void FlatFileScanner::FeatureLine(std::string_view line, std::size_t margin) {
  std::size_t indent = std::min(margin, line.size());
  while (indent < line.size() && IsBlank(line[indent])) ++indent;
  const std::string_view content = Trim(line.substr(indent));
  if (content.empty()) return;
  if (indent < 21 && !in_quote_) {
    EndFeature();
    std::string_view rest = content;
    const std::string_view key = FirstWord(rest);
    in_feature_ = true;
    is_cds_ = key == "CDS";
    in_location_ = true;
    pseudo_ = false;
    feature_line_ = lines_.lines();
    location_.clear();
    codon_start_.clear();
    transl_table_.clear();
    names_.Clear();
    for (const char c : rest) {
      if (!IsBlank(c) && location_.size() <= kMaxLocationText) location_ += c;
    }
    return;
  }
  if (!in_feature_) return;
  if (in_quote_) {
    AddToValue(content, false);
  } else if (content[0] == '/') {
    in_location_ = false;
    Qualifier(content);
  } else if (in_location_) {
    for (const char c : content) {
      if (!IsBlank(c) && location_.size() <= kMaxLocationText) location_ += c;
    }
  } else {
    AddToValue(content, false);
  }
}

void FlatFileScanner::Qualifier(std::string_view text) {
  EndQualifier();
  const std::size_t equals = std::min(text.find('='), text.size());
  const std::string_view name = text.substr(1, equals - 1);
  const std::string_view value = text.substr(std::min(equals + 1, text.size()));
  if (is_cds_) {
    std::string* const kept = name == "locus_tag"      ? &names_.locus_tag
                              : name == "gene"         ? &names_.gene
                              : name == "protein_id"   ? &names_.protein_id
                              : name == "product"      ? &names_.product
                              : name == "codon_start"  ? &codon_start_
                              : name == "transl_table" ? &transl_table_
                                                       : nullptr;
    // The first of a qualifier given twice counts.
    if (kept != nullptr && kept->empty()) value_ = kept;
    if (name == "pseudo" || name == "pseudogene") pseudo_ = true;
  }
  AddToValue(value, true);
}

// A piece of a qualifier's value: a quoted value runs on over lines (joined by a space)
// until its closing quote.
void FlatFileScanner::AddToValue(std::string_view text, bool first) {
  in_quote_ ^= (std::count(text.begin(), text.end(), '"') % 2) != 0;
  if (value_ == nullptr) return;
  const std::size_t room = kMaxIdBytes + 2 - std::min(value_->size(), kMaxIdBytes + 2);
  if (!first && !value_->empty() && room != 0) *value_ += ' ';
  value_->append(text.substr(0, room));
}

// The value kept without its quotes, and "" read as ".
void FlatFileScanner::EndQualifier() {
  if (value_ != nullptr) {
    std::string& value = *value_;
    if (!value.empty() && value.front() == '"') value.erase(0, 1);
    if (!value.empty() && value.back() == '"') value.pop_back();
    for (std::size_t at = value.find("\"\""); at != std::string::npos;
         at = value.find("\"\"", at + 1)) {
      value.erase(at, 1);
    }
    if (value.size() > kMaxIdBytes) value.resize(kMaxIdBytes);
  }
  value_ = nullptr;
  in_quote_ = false;
}

void FlatFileScanner::EndFeature() {
  EndQualifier();
  if (!in_feature_) return;
  in_feature_ = false;
  if (!is_cds_) return;
  if (pseudo_) {
    tally_.pseudo.Add(feature_line_);
    return;
  }
  if (protein_) {
    tally_.protein_records.Add(feature_line_);
    return;
  }
  feature_.parts.clear();
  const LocationStatus status = location_.size() > kMaxLocationText
                                    ? LocationStatus::kUnreadable
                                    : ReadLocation(location_, length_, circular_, feature_.parts);
  if (status == LocationStatus::kOtherRecord) {
    tally_.other_record.Add(feature_line_);
    return;
  }
  if (status == LocationStatus::kUnreadable) {
    tally_.unreadable.Add(feature_line_);
    return;
  }
  feature_.line = feature_line_;
  const std::uint64_t codon_start = Number(codon_start_);
  feature_.skip =
      static_cast<std::uint8_t>(codon_start == 2 || codon_start == 3 ? codon_start - 1 : 0);
  const std::uint64_t table = Number(transl_table_);
  feature_.transl_table = static_cast<std::uint16_t>(std::min<std::uint64_t>(table, 0xffff));
  fallback_ = !version_.empty() ? version_ : !accession_.empty() ? accession_ : name_;
  fallback_ += "_cds";
  char digits[24];
  fallback_.append(digits, std::to_chars(digits, digits + sizeof digits, record_features_ + 1).ptr);
  NameFeature(names_, fallback_, feature_);
  if (!KeepFeature(features_, feature_, scratch_)) {
    Fail(features_.error());
    return;
  }
  if (record_features_++ == 0) first_feature_line_ = feature_line_;
}

// A line of the sequence: its letters, without the numbers and blanks around them.
void FlatFileScanner::SequenceLine(std::string_view line) {
  for (const char c : line) {
    if (!IsBlank(c) && (c < '0' || c > '9')) letters_ += c;
  }
  if (letters_.size() >= kLetterBatch) FlushSequence();
}

void FlatFileScanner::FlushSequence() {
  if (!letters_.empty() && !sequence_.Append(letters_.data(), letters_.size())) {
    Fail(sequence_.error());
  }
  letters_.clear();
}

void FlatFileScanner::EndRecord(SequenceSink& sink) {
  EndFeature();
  FlushSequence();
  section_ = Section::kOutside;
  ++tally_.records;
  if (failed()) return;
  if (!has_sequence_ || sequence_.size() == 0) {
    tally_.without_sequence.Add(first_feature_line_, record_features_);
    StartRecord();
    return;
  }
  std::uint64_t offset = 0;
  for (std::uint64_t k = 0; k < record_features_; ++k) {
    if (!TakeFeature(features_, offset, feature_)) {
      Fail(features_.error());
      return;
    }
    if (!HandOnFeature(sequence_, feature_, sink, sequences_, tally_, scratch_)) {
      Fail(sequence_.error());
      return;
    }
  }
  StartRecord();
}

}  // namespace trelba
