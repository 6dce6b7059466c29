#include "input/genome_scanner.hpp"

#include "input/cds_cutting.hpp"
#include "input/input_survey.hpp"

namespace trelba {

void GenomeScanner::Begin(GffAnnotation& annotation) {
  annotation_ = &annotation;
  annotation.BeginGenome();
  fasta_ = FastaScanner{};
  sequences_ = 0;
  sequence_.Clear();
  error_ = {};
}

void GenomeScanner::Scan(const char* data, std::size_t size, SequenceSink& sink) {
  if (failed()) return;
  out_ = &sink;
  ScanFasta(fasta_, data, size, *this);
}

void GenomeScanner::Finish(SequenceSink& sink) {
  if (failed()) return;
  out_ = &sink;
  FinishFasta(fasta_, *this);
  if (!failed() && !annotation_->TallyUnread()) Fail(annotation_->error());
}

void GenomeScanner::Start(SequenceNumber, std::uint64_t) {
  name_.clear();
  sequence_.Clear();
}

void GenomeScanner::Id(const char* text, std::size_t size) {
  name_.append(text, std::min(size, kMaxIdBytes - std::min(name_.size(), kMaxIdBytes)));
}

void GenomeScanner::Body(const char* text, std::size_t size) {
  // Whitespace is no letter of the sequence: only letters go to the store.
  const char* p = text;
  const char* const end = text + size;
  while (p != end && !failed()) {
    const char* q = p;
    while (q != end && kByteClasses[static_cast<unsigned char>(*q)] != kWhitespace) ++q;
    if (q != p && !sequence_.Append(p, static_cast<std::size_t>(q - p))) Fail(sequence_.error());
    while (q != end && kByteClasses[static_cast<unsigned char>(*q)] == kWhitespace) ++q;
    p = q;
  }
}

void GenomeScanner::End() {
  if (failed()) return;
  ++annotation_->tally().records;
  const bool read = annotation_->ForEachCds(name_, [&](const CdsFeature& feature) {
    if (!failed() &&
        !HandOnFeature(sequence_, feature, *out_, sequences_, annotation_->tally(), scratch_)) {
      Fail(sequence_.error());
    }
  });
  if (!read) Fail(annotation_->error());
  sequence_.Clear();
}

}  // namespace trelba
