// Reading GenBank and EMBL flat files: every CDS feature of every record becomes a
// sequence, cut from its record's sequence once that has been read (the features come
// first). Its name is the /locus_tag, else the /gene, else the /protein_id, else the
// record's and the feature's number ("NC_005816.1_cds3"); its description "[gene=...]
// [protein=...]" from /gene and /product. /codon_start says where its first codon begins.
// /pseudo and /pseudogene features are left out and counted, as are those of another
// record, past the sequence's end, or with a location this reader does not know.
//
// A record's features wait in one store and its sequence in another, each in memory up to
// a bound and in a temporary file past it (spill_store.hpp): memory does not grow with a
// record's feature table or sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/annotation_tally.hpp"
#include "input/cds_feature.hpp"
#include "input/line_splitter.hpp"
#include "input/sequence_sink.hpp"
#include "input/spill_store.hpp"

namespace trelba {

enum class FlatFormat { kGenBank, kEmbl };

// A record's sequence is kept in memory up to this (a bacterial genome), past it in a
// temporary file; its features up to kHeldFeatureBytes.
inline constexpr std::size_t kHeldSequenceBytes = std::size_t{16} << 20;
inline constexpr std::size_t kHeldFeatureBytes = std::size_t{4} << 20;

class FlatFileScanner {
 public:
  FlatFileScanner() : features_(kHeldFeatureBytes), sequence_(kHeldSequenceBytes) {}

  // Starts reading an input of `format`.
  void Begin(FlatFormat format);
  // Reads the next `size` bytes of text.
  void Scan(const char* data, std::size_t size, SequenceSink& sink);
  // Ends the input (a last record without "//" is read as if it had one).
  void Finish(SequenceSink& sink);

  SequenceNumber sequences() const { return sequences_; }
  const AnnotationTally& tally() const { return tally_; }
  // A store that could not be written or read back: reading stops, with this cause.
  bool failed() const { return static_cast<bool>(error_); }
  const FailureCause& error() const { return error_; }

 private:
  enum class Section { kOutside, kHeader, kFeatures, kSequence };

  void Line(std::string_view line, SequenceSink& sink);
  void GenBankLine(std::string_view line, SequenceSink& sink);
  void EmblLine(std::string_view line, SequenceSink& sink);
  void StartRecord();
  void ReadLocus(std::string_view line);
  void ReadId(std::string_view line);
  void FeatureLine(std::string_view line, std::size_t margin);
  void Qualifier(std::string_view text);
  void AddToValue(std::string_view text, bool first);
  void EndQualifier();
  void EndFeature();
  void SequenceLine(std::string_view line);
  void FlushSequence();
  void EndRecord(SequenceSink& sink);
  void Fail(const FailureCause& cause);

  FlatFormat format_ = FlatFormat::kGenBank;
  LineSplitter lines_;
  Section section_ = Section::kOutside;
  SequenceNumber sequences_ = 0;
  AnnotationTally tally_;
  FailureCause error_;

  // The record being read.
  std::string name_, accession_, version_;
  std::uint64_t length_ = 0;  // as its first line gives it
  bool circular_ = false;
  bool protein_ = false;
  bool has_sequence_ = false;
  std::uint64_t record_features_ = 0;  // CDS kept in features_
  std::uint64_t first_feature_line_ = 0;
  SpillStore features_;
  SpillStore sequence_;
  std::string letters_;  // sequence letters not yet in sequence_

  // The feature being read.
  bool in_feature_ = false;
  bool is_cds_ = false;
  bool in_location_ = false;
  bool pseudo_ = false;
  std::uint64_t feature_line_ = 0;
  std::string location_;
  std::string* value_ = nullptr;  // the qualifier value being kept, raw
  bool in_quote_ = false;
  std::string codon_start_, transl_table_;
  FeatureNames names_;

  // Scratch space, reused.
  std::string fallback_;
  std::string scratch_;
  CdsFeature feature_;
};

}  // namespace trelba
