// Reading a genome's FASTA against its GFF3 annotation: each record's sequence is kept
// (in memory up to kHeldSequenceBytes, past it in a temporary file) until its end, and
// the coding sequences the annotation places on it, by the first word of its header, are
// cut from it and handed on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "input/fasta_scanner.hpp"
#include "input/flat_file_scanner.hpp"
#include "input/gff3_annotation.hpp"
#include "input/sequence_sink.hpp"
#include "input/spill_store.hpp"

namespace trelba {

class GenomeScanner {
 public:
  GenomeScanner() : sequence_(kHeldSequenceBytes) {}

  // Starts a genome read against `annotation`, which the lines have been added to.
  void Begin(GffAnnotation& annotation);
  void Scan(const char* data, std::size_t size, SequenceSink& sink);
  // Ends the genome: the last record's coding sequences, then those of sequences it lacks
  // counted.
  void Finish(SequenceSink& sink);

  SequenceNumber sequences() const { return sequences_; }
  const AnnotationTally& tally() const { return annotation_->tally(); }
  bool failed() const { return static_cast<bool>(error_); }
  const FailureCause& error() const { return error_; }

  // The FASTA scanner's sink.
  void Start(SequenceNumber number, std::uint64_t line);
  void Id(const char* text, std::size_t size);
  void Description(const char*, std::size_t) {}
  void Body(const char* text, std::size_t size);
  void End();

 private:
  void Fail(const FailureCause& cause) { KeepFirst(error_, cause); }

  GffAnnotation* annotation_ = nullptr;
  FastaScanner fasta_;
  SequenceSink* out_ = nullptr;  // while scanning
  SequenceNumber sequences_ = 0;
  std::string name_;
  SpillStore sequence_;
  std::string scratch_;
  FailureCause error_;
};

}  // namespace trelba
