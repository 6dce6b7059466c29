// Cutting an input of any readable format into its sequences: FASTA by the FASTA scanner,
// GenBank and EMBL by the flat-file scanner, GFF3 by the GFF3 scanner, a genome FASTA
// against a GFF3 annotation by the genome scanner. The format is told by the first bytes
// (text_format.hpp); all hand their sequences to the same sink.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "input/annotation_tally.hpp"
#include "input/fasta_scanner.hpp"
#include "input/flat_file_scanner.hpp"
#include "input/genome_scanner.hpp"
#include "input/gff3_scanner.hpp"
#include "input/sequence_sink.hpp"
#include "input/text_format.hpp"

namespace trelba {

class InputScanner {
 public:
  // Starts an input; with an `annotation`, the input is the genome it annotates.
  void Begin(GffAnnotation* annotation) {
    annotation_ = annotation;
    format_ = TextFormat::kUndecided;
    first_byte_ = -1;
    head_.clear();
    fasta_ = FastaScanner{};
  }

  template <class Sink>
  void Scan(const char* data, std::size_t size, Sink& sink) {
    if (format_ == TextFormat::kUndecided) {
      if (!Decide(data, size, true)) return;
      if (!head_.empty()) {
        const std::string head = std::move(head_);
        head_.clear();
        Pass(head.data(), head.size(), sink);
        return;
      }
    }
    Pass(data, size, sink);
  }

  template <class Sink>
  void Finish(Sink& sink) {
    if (format_ == TextFormat::kUndecided) {
      Decide(nullptr, 0, false);
      const std::string head = std::move(head_);
      head_.clear();
      Pass(head.data(), head.size(), sink);
    }
    if (format_ == TextFormat::kFasta) {
      if (annotation_ == nullptr) {
        FinishFasta(fasta_, sink);
        return;
      }
    }
    Adapter<Sink> adapter{sink};
    switch (format_) {
      case TextFormat::kFasta:
        genome_->Finish(adapter);
        fasta_.sequence = genome_->sequences();
        break;
      case TextFormat::kGenBank:
      case TextFormat::kEmbl:
        flat_->Finish(adapter);
        fasta_.sequence = flat_->sequences();
        break;
      case TextFormat::kGff3:
        gff_->Finish(adapter);
        fasta_.sequence = gff_->sequences();
        break;
      case TextFormat::kUndecided:
        break;
    }
  }

  TextFormat format() const { return format_; }
  // The input's first byte that is no whitespace, or -1 when it holds none.
  int first_byte() const { return first_byte_; }
  // Whether the sequences were cut from an annotation (GenBank, EMBL, GFF3 or --gff).
  bool annotated() const { return format_ != TextFormat::kFasta || annotation_ != nullptr; }
  // The FASTA scanner's state; for other formats, its `sequence` is the number handed on
  // once the input has been finished.
  const FastaScanner& fasta() const { return fasta_; }
  const AnnotationTally* tally() const;
  // Whether a GFF3 input carried no genome.
  bool gff_without_fasta() const { return format_ == TextFormat::kGff3 && !gff_->has_fasta(); }
  // A store that could not be kept: the input fails with this cause.
  FailureCause error() const;

 private:
  template <class Sink>
  struct Adapter final : SequenceSink {
    explicit Adapter(Sink& s) : sink(s) {}
    void Start(SequenceNumber number, std::uint64_t line) override { sink.Start(number, line); }
    void Id(const char* text, std::size_t size) override { sink.Id(text, size); }
    void Description(const char* text, std::size_t size) override { sink.Description(text, size); }
    void Body(const char* text, std::size_t size) override { sink.Body(text, size); }
    void End() override { sink.End(); }
    Sink& sink;
  };

  // Tells the format from the text so far and `data`: false while it cannot yet be told
  // (the text is held meanwhile).
  bool Decide(const char* data, std::size_t size, bool more);

  template <class Sink>
  void Pass(const char* data, std::size_t size, Sink& sink) {
    if (format_ == TextFormat::kFasta && annotation_ == nullptr) {
      ScanFasta(fasta_, data, size, sink);
      return;
    }
    Adapter<Sink> adapter{sink};
    switch (format_) {
      case TextFormat::kFasta:
        genome_->Scan(data, size, adapter);
        break;
      case TextFormat::kGenBank:
      case TextFormat::kEmbl:
        flat_->Scan(data, size, adapter);
        break;
      case TextFormat::kGff3:
        gff_->Scan(data, size, adapter);
        break;
      case TextFormat::kUndecided:
        break;
    }
  }

  GffAnnotation* annotation_ = nullptr;
  TextFormat format_ = TextFormat::kUndecided;
  int first_byte_ = -1;
  std::string head_;  // the text while its format is undecided
  FastaScanner fasta_;
  // Made on first use, kept from one input to the next.
  std::unique_ptr<FlatFileScanner> flat_;
  std::unique_ptr<Gff3Scanner> gff_;
  std::unique_ptr<GenomeScanner> genome_;
};

}  // namespace trelba
