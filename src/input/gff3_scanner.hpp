// Reading a GFF3 file: its CDS lines into an annotation (gff3_annotation.hpp), and, where
// the file carries the genome itself after "##FASTA" (as Prokka's and Bakta's do), the
// coding sequences cut from it. Without a FASTA part the file only annotates: the
// genome is the input of --gff.
#pragma once

#include <cstddef>

#include "input/genome_scanner.hpp"
#include "input/gff3_annotation.hpp"
#include "input/line_splitter.hpp"
#include "input/sequence_sink.hpp"

namespace trelba {

class Gff3Scanner {
 public:
  void Begin();
  void Scan(const char* data, std::size_t size, SequenceSink& sink);
  void Finish(SequenceSink& sink);

  SequenceNumber sequences() const { return in_fasta_ ? genome_.sequences() : 0; }
  const AnnotationTally& tally() const { return annotation_.tally(); }
  bool failed() const { return static_cast<bool>(error_); }
  const FailureCause& error() const { return error_; }
  // Whether the file carries its genome.
  bool has_fasta() const { return in_fasta_; }
  GffAnnotation& annotation() { return annotation_; }

 private:
  LineSplitter lines_;
  GffAnnotation annotation_;
  GenomeScanner genome_;
  bool in_fasta_ = false;
  FailureCause error_;
};

}  // namespace trelba
