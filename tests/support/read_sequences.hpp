// The sequences of a text as the scanner cuts them and the codon reader counts them,
// for tests of the reading rules.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "input/codon_reader.hpp"
#include "input/fasta_scanner.hpp"

namespace trelba::test {

struct ReadSequence {
  SequenceNumber number = 0;
  std::uint64_t line = 0;  // of its header
  std::string id;
  std::string description;
  CodonCounts counts{};
  unsigned partial = 0;
  unsigned last_triple = 0;
  bool operator==(const ReadSequence&) const = default;
};

struct Reading {
  std::vector<ReadSequence> sequences;
  std::uint64_t u_letters = 0;  // in bodies and before the first header
  FastaScanner scanner;
  bool operator==(const Reading& other) const {
    return sequences == other.sequences && u_letters == other.u_letters;
  }
};

// Reads `text` fed `piece` bytes at a time (0: whole); with `kCountRuns` false the codon
// reader takes every byte on its byte-by-byte path.
template <bool kCountRuns = true>
Reading ReadSequences(const std::string& text, std::size_t piece = 0) {
  struct Sink {
    Reading reading;
    CodonReader reader;
    ReadSequence& last() { return reading.sequences.back(); }
    void Start(SequenceNumber number, std::uint64_t line) {
      reading.sequences.push_back({});
      last().number = number;
      last().line = line;
      reader = CodonReader{};
    }
    void Id(const char* t, std::size_t n) { last().id.append(t, n); }
    void Description(const char* t, std::size_t n) { last().description.append(t, n); }
    void Body(const char* t, std::size_t n) { CountCodons<kCountRuns>(reader, t, n); }
    void End() {
      last().counts = reader.counts;
      last().partial = reader.frame;
      last().last_triple = LastTriple(reader);
      reading.u_letters += reader.u_letters;
    }
  } sink;
  FastaScanner& scanner = sink.reading.scanner;
  if (piece == 0) piece = std::max<std::size_t>(text.size(), 1);
  for (std::size_t at = 0; at < text.size(); at += piece) {
    ScanFasta(scanner, text.data() + at, std::min(piece, text.size() - at), sink);
  }
  FinishFasta(scanner, sink);
  sink.reading.u_letters += scanner.u_letters;
  return sink.reading;
}

}  // namespace trelba::test
