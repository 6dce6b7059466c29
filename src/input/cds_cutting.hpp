// Cutting a coding sequence out of the sequence it lies on: its stretches in order, those
// on the reverse strand reverse-complemented (IUPAC letters too), the bases before its
// first codon left out, handed to a sink in pieces.
#pragma once

#include <cstdint>
#include <string>

#include "input/annotation_tally.hpp"
#include "input/cds_feature.hpp"
#include "input/sequence_sink.hpp"
#include "input/spill_store.hpp"

namespace trelba {

// Whether every stretch of `feature` lies within a sequence of `length` bases.
bool FitsSequence(const CdsFeature& feature, std::uint64_t length);

// Hands the letters of `feature` (which fits `sequence`) to `sink.Body`; false when the
// sequence cannot be read back.
bool CutFeature(SpillStore& sequence, const CdsFeature& feature, SequenceSink& sink,
                std::string& scratch);

// Hands `feature` to `sink` as sequence number ++`number` (its name, description and
// letters cut from `sequence`), or counts it as past the sequence's end; false when the
// sequence cannot be read back.
bool HandOnFeature(SpillStore& sequence, const CdsFeature& feature, SequenceSink& sink,
                   SequenceNumber& number, AnnotationTally& tally, std::string& scratch);

}  // namespace trelba
