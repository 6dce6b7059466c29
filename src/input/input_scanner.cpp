#include "input/input_scanner.hpp"

namespace trelba {
namespace {

// Text held while the format is undecided (blank lines at the start); past it, FASTA.
constexpr std::size_t kMaxHead = std::size_t{1} << 16;

}  // namespace

bool InputScanner::Decide(const char* data, std::size_t size, bool more) {
  if (head_.empty() && more) {
    format_ = SniffTextFormat(std::string_view(data, size), true);
  } else {
    if (size != 0) head_.append(data, size);
    format_ = SniffTextFormat(head_, more && head_.size() < kMaxHead);
  }
  if (format_ == TextFormat::kUndecided) {
    if (head_.empty()) head_.assign(data, size);
    return false;
  }
  const std::string_view text = head_.empty() ? std::string_view(data, size) : head_;
  const std::size_t first = text.find_first_not_of(" \t\r\n\v\f");
  if (first != std::string_view::npos) first_byte_ = static_cast<unsigned char>(text[first]);
  switch (format_) {
    case TextFormat::kFasta:
      if (annotation_ != nullptr) {
        if (!genome_) genome_ = std::make_unique<GenomeScanner>();
        genome_->Begin(*annotation_);
      }
      break;
    case TextFormat::kGenBank:
    case TextFormat::kEmbl:
      if (!flat_) flat_ = std::make_unique<FlatFileScanner>();
      flat_->Begin(format_ == TextFormat::kGenBank ? FlatFormat::kGenBank : FlatFormat::kEmbl);
      break;
    case TextFormat::kGff3:
      if (!gff_) gff_ = std::make_unique<Gff3Scanner>();
      gff_->Begin();
      break;
    case TextFormat::kUndecided:
      break;
  }
  return true;
}

const AnnotationTally* InputScanner::tally() const {
  switch (format_) {
    case TextFormat::kFasta:
      return annotation_ != nullptr && genome_ ? &genome_->tally() : nullptr;
    case TextFormat::kGenBank:
    case TextFormat::kEmbl:
      return &flat_->tally();
    case TextFormat::kGff3:
      return &gff_->tally();
    case TextFormat::kUndecided:
      break;
  }
  return nullptr;
}

FailureCause InputScanner::error() const {
  switch (format_) {
    case TextFormat::kFasta:
      return annotation_ != nullptr && genome_ ? genome_->error() : FailureCause{};
    case TextFormat::kGenBank:
    case TextFormat::kEmbl:
      return flat_->error();
    case TextFormat::kGff3:
      return gff_->error();
    case TextFormat::kUndecided:
      break;
  }
  return {};
}

}  // namespace trelba
