#include "input/cds_cutting.hpp"

#include <algorithm>
#include <array>

namespace trelba {
namespace {

constexpr std::size_t kPiece = std::size_t{1} << 16;

// The complement of each letter, in its own case: bases, IUPAC ambiguity letters (R and
// Y, K and M swap; S, W, N stay; B and V, D and H swap); every other byte stays.
constexpr std::array<char, 256> kComplement = [] {
  std::array<char, 256> table{};
  for (std::size_t b = 0; b < 256; ++b) table[b] = static_cast<char>(b);
  const char* const pairs[] = {"AT", "CG", "RY", "KM", "BV", "DH", "UA"};
  for (const char* pair : pairs) {
    for (int lower = 0; lower < 2; ++lower) {
      const char offset = lower != 0 ? 'a' - 'A' : 0;
      const auto a = static_cast<unsigned char>(pair[0] + offset);
      const auto b = static_cast<unsigned char>(pair[1] + offset);
      table[a] = static_cast<char>(b);
      if (pair[0] != 'U') table[b] = static_cast<char>(a);
    }
  }
  return table;
}();

}  // namespace

bool FitsSequence(const CdsFeature& feature, std::uint64_t length) {
  return std::all_of(feature.parts.begin(), feature.parts.end(), [&](const LocationPart& part) {
    return part.start <= part.end && part.end <= length;
  });
}

bool CutFeature(SpillStore& sequence, const CdsFeature& feature, SequenceSink& sink,
                std::string& scratch) {
  scratch.resize(kPiece);
  std::uint64_t skip = feature.skip;
  for (const LocationPart& part : feature.parts) {
    std::uint64_t left = part.end - part.start;
    while (left != 0) {
      const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPiece));
      // Forward: from the stretch's start on; reverse: from its end back.
      const std::uint64_t at = part.minus ? part.start + left - n : part.end - left;
      if (!sequence.Read(at, scratch.data(), n)) return false;
      left -= n;
      char* const piece = scratch.data();
      if (part.minus) {
        std::reverse(piece, piece + n);
        for (std::size_t i = 0; i < n; ++i) {
          piece[i] = kComplement[static_cast<unsigned char>(piece[i])];
        }
      }
      const auto skipped = static_cast<std::size_t>(std::min<std::uint64_t>(skip, n));
      skip -= skipped;
      if (n != skipped) sink.Body(piece + skipped, n - skipped);
    }
  }
  return true;
}

bool HandOnFeature(SpillStore& sequence, const CdsFeature& feature, SequenceSink& sink,
                   SequenceNumber& number, AnnotationTally& tally, std::string& scratch) {
  if (!FitsSequence(feature, sequence.size())) {
    tally.out_of_range.Add(feature.line);
    return true;
  }
  sink.Start(++number, feature.line);
  if (!feature.id.empty()) sink.Id(feature.id.data(), feature.id.size());
  if (!feature.description.empty()) {
    sink.Description(feature.description.data(), feature.description.size());
  }
  if (!CutFeature(sequence, feature, sink, scratch)) return false;
  sink.End();
  ++tally.coding;
  ++tally.tables[std::min<std::size_t>(feature.transl_table, kCountedTables)];
  return true;
}

}  // namespace trelba
