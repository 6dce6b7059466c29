#include "driver/whole_input_columns.hpp"

#include <array>
#include <exception>
#include <optional>
#include <utility>

namespace trelba {
namespace {

// Sequences whose cells are made in one piece.
constexpr std::size_t kChunkSequences = 1024;

// The cells of up to kChunkSequences sequences in a row: the text of each ends at ends[i + 1].
struct CellsChunk {
  StringSink text;
  OutputBuffer out{text};
  std::array<std::uint64_t, kChunkSequences + 1> ends{};
  std::size_t sequences = 0;
  bool made = false;

  std::string_view Cells(std::size_t i) const {
    return std::string_view(text.text).substr(ends[i], ends[i + 1] - ends[i]);
  }
};

// Makes chunks of cells in input order, `next` giving each sequence's; a chunk may be made
// by a thread of the pipeline (a piece of side work) while the caller appends the one
// before, never two at once.
template <typename Next>
class CellsMaker final : public SideTask {
 public:
  CellsMaker(const TableLayout& layout, Next& next) : layout_(layout), next_(next) {}

  void Make(CellsChunk& chunk) {
    chunk.text.text.clear();
    const std::uint64_t base = chunk.out.size();
    chunk.sequences = 0;
    while (chunk.sequences < kChunkSequences) {
      const std::optional<WholeInputCells> cells = next_();
      if (!cells) break;
      AppendWholeInputCells(chunk.out, layout_, *cells);
      chunk.ends[++chunk.sequences] = chunk.out.size() - base;
    }
    chunk.out.Flush();
    chunk.made = true;
  }

  // The piece: the chunk ahead. What it throws (no memory) is the caller's to throw.
  void RunOnePiece() override {
    try {
      Make(*ahead);
    } catch (...) {
      thrown = std::current_exception();
    }
  }

  CellsChunk* ahead = nullptr;
  std::exception_ptr thrown;

 private:
  const TableLayout& layout_;
  Next& next_;
};

}  // namespace

bool AddWholeInputColumns(const TableLayout& layout, InputTotals& totals, StagedSink* staged,
                          OutputBuffer* table, const WholeInputSources& sources, SideWork* side) {
  GeneCountStore::Reader genes(*totals.store);
  std::uint64_t sequence = 0;
  // The next sequence's cells.
  auto next = [&]() -> std::optional<WholeInputCells> {
    CodonCounts counts;
    std::uint8_t marks = 0;
    WholeInputCells cells;
    if (!genes.Next(counts, marks, cells.excess_p)) return std::nullopt;
    if (sources.reference != nullptr) {
      AddReferenceCells(*sources.reference, counts, marks, sequence, sources.plot, table != nullptr,
                        cells);
    }
    if (sources.coa != nullptr) {
      cells.coa = GeneCoordinates(*sources.coa_columns, *sources.coa, counts);
      if (sources.plot != nullptr) {
        sources.plot->AddCoaValues(sequence + 1, cells.coa[0], cells.coa[1]);  // numbered from 1
      }
    }
    ++sequence;
    return cells;
  };
  if (table == nullptr) {
    while (next()) {
    }
    return !genes.failed() && sequence == totals.store->size();
  }
  // The cells of the sequences a chunk at a time, the next chunk made (where a thread of the
  // pipeline is free) while the rows take this one's.
  CellsMaker<decltype(next)> maker(layout, next);
  std::array<CellsChunk, 2> chunks;
  CellsChunk* current = &chunks[0];
  CellsChunk* ahead = &chunks[1];
  // The chunk ahead, once the current one is full (else the sequences are at their end).
  const auto make_ahead = [&] {
    ahead->made = false;
    if (side == nullptr || current->sequences < kChunkSequences) return;
    maker.ahead = ahead;
    side->Post(maker);
  };
  // Waits for the piece, if a thread has it; what it threw, thrown here.
  const auto withdraw = [&] {
    if (side != nullptr) side->Withdraw(maker);
    if (maker.thrown) std::rethrow_exception(std::exchange(maker.thrown, nullptr));
  };
  maker.Make(*current);
  make_ahead();
  std::size_t at = 0;       // in the current chunk
  std::uint64_t given = 0;  // rows that had their cells
  bool released = false;
  try {
    released = staged->ReleaseRows(*table, [&](OutputBuffer& out) {
      if (at == current->sequences) {
        if (current->sequences < kChunkSequences) return;  // no sequence left
        withdraw();
        if (!ahead->made) maker.Make(*ahead);
        std::swap(current, ahead);
        at = 0;
        make_ahead();
        if (current->sequences == 0) return;
      }
      out.Append(current->Cells(at++));
      ++given;
    });
  } catch (...) {
    if (side != nullptr) side->Withdraw(maker);
    throw;
  }
  withdraw();
  // Every row had its sequence's counts, and every sequence its row.
  return released && !genes.failed() && given == totals.store->size();
}

}  // namespace trelba
