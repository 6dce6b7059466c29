#include "driver/batch_filler.hpp"

#include <algorithm>

#include "input/codon_runs.hpp"
#include "input/input_survey.hpp"
#include "input/rna_marks.hpp"
#include "input/sequence_digest.hpp"
#include "input/sequence_facts.hpp"

namespace trelba {
namespace {

// Appends to `to` at most what keeps it within kMaxIdBytes; true when something was cut.
bool AppendBounded(std::string& to, const char* text, std::size_t size) {
  const std::size_t room = kMaxIdBytes - std::min(to.size(), kMaxIdBytes);
  to.append(text, std::min(size, room));
  return size > room;
}

}  // namespace

SequenceBatch& BatchFiller::Current() {
  if (batch_ == nullptr) {
    batch_ = &take_();
    batch_->size = 0;
    batch_->text.clear();
    batch_->u_letters = 0;
  }
  return *batch_;
}

void BatchFiller::Start(SequenceNumber number, std::uint64_t line) {
  ++sequences_;
  SequenceBatch& batch = Current();
  SequenceRecord& record = batch.records[batch.size];
  record.number = number;
  record.line = line;
  record.id.clear();
  record.description.clear();
  record.counted = false;
  record.digest = kDigestStart;
  record.facts = SequenceFacts{};
  record.body_begin = batch.text.size();
  record.left_out = false;
  long_ = false;
  first_letters_ = 0;
  id_cut_ = false;
}

void BatchFiller::Id(const char* text, std::size_t size) {
  if (!wants_.ids) return;
  SequenceRecord& record = batch_->records[batch_->size];
  if (AppendBounded(record.id, text, size) && !id_cut_) {
    id_cut_ = true;
    if (ids_cut_++ == 0) first_cut_line_ = record.line;
  }
}

void BatchFiller::Description(const char* text, std::size_t size) {
  if (wants_.descriptions) AppendBounded(batch_->records[batch_->size].description, text, size);
}

void BatchFiller::Body(const char* text, std::size_t size) {
  for (std::size_t i = 0; i < size && first_letters_ < 3; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (kByteClasses[byte] != kWhitespace) first_[first_letters_++] = byte;
  }
  SequenceBatch& batch = *batch_;
  SequenceRecord& record = batch.records[batch.size];
  if (!long_ && batch.text.size() - record.body_begin + size > kBatchText) {
    // Too long to keep: count what is kept so far, and the rest as it comes.
    long_reader_ = CodonReader{};
    CountCodons(long_reader_, batch.text.data() + record.body_begin,
                batch.text.size() - record.body_begin);
    if (wants_.dinucleotides) {
      long_pairs_ = DinucleotideReader{};
      CountDinucleotides(long_pairs_, batch.text.data() + record.body_begin,
                         batch.text.size() - record.body_begin);
    }
    if (wants_.digests) {
      record.digest = DigestLetters(record.digest, batch.text.data() + record.body_begin,
                                    batch.text.size() - record.body_begin);
    }
    batch.text.resize(record.body_begin);
    long_ = true;
  }
  if (long_) {
    CountCodons(long_reader_, text, size);
    if (wants_.dinucleotides) CountDinucleotides(long_pairs_, text, size);
    if (wants_.digests) record.digest = DigestLetters(record.digest, text, size);
  } else {
    batch.text.append(text, size);
  }
}

void BatchFiller::End() {
  SequenceBatch& batch = *batch_;
  SequenceRecord& record = batch.records[batch.size++];
  record.body_end = batch.text.size();
  const unsigned first = first_letters_ == 3 ? CodonSum(first_) : kNotCodonSum;
  record.facts.first_triple = static_cast<std::uint8_t>(first < kNotCodonSum ? first : 0);
  record.facts.rna = MarksRna(record.description);
  record.facts.pseudogene = MarksPseudogene(record.description);
  if (long_) {
    record.counts = long_reader_.counts;
    record.facts.partial_letters = static_cast<std::uint8_t>(long_reader_.frame);
    record.facts.last_triple = LastTriple(long_reader_);
    record.counted = true;
    if (wants_.dinucleotides) {
      batch.pairs.resize(batch.records.size());
      batch.pairs[batch.size - 1] = PairsRead(long_pairs_);
    }
    batch.u_letters += long_reader_.u_letters;
    long_ = false;
  }
  kept_ += record.id.size() + record.description.size();
  if (batch.size == batch.records.size() || batch.text.size() + kept_ >= kBatchText) {
    Flush();
  }
}

void BatchFiller::Flush() {
  if (batch_ == nullptr) return;
  submit_(*batch_);
  batch_ = nullptr;
  kept_ = 0;
}

}  // namespace trelba
