#include "input/gff3_scanner.hpp"

namespace trelba {

void Gff3Scanner::Begin() {
  lines_.Clear();
  annotation_.Clear();
  in_fasta_ = false;
  error_ = {};
}

void Gff3Scanner::Scan(const char* data, std::size_t size, SequenceSink& sink) {
  if (failed()) return;
  if (!in_fasta_) {
    const std::size_t used = lines_.Feed(data, size, [&](std::string_view line) {
      // The genome begins at "##FASTA", or at a header line that stands without it.
      if (line.substr(0, 7) == "##FASTA" || (!line.empty() && line[0] == '>')) {
        in_fasta_ = true;
        genome_.Begin(annotation_);
        if (line[0] == '>') {
          genome_.Scan(line.data(), line.size(), sink);
          genome_.Scan("\n", 1, sink);
        }
        return false;
      }
      if (!annotation_.AddLine(line, lines_.lines())) {
        KeepFirst(error_, annotation_.error());
        return false;
      }
      return true;
    });
    data += used;
    size -= used;
  }
  if (in_fasta_ && size != 0) genome_.Scan(data, size, sink);
  if (genome_.failed()) KeepFirst(error_, genome_.error());
}

void Gff3Scanner::Finish(SequenceSink& sink) {
  if (failed()) return;
  if (!in_fasta_) {
    lines_.Finish([&](std::string_view line) {
      if (!annotation_.AddLine(line, lines_.lines())) KeepFirst(error_, annotation_.error());
      return true;
    });
    annotation_.Seal();
    return;
  }
  genome_.Finish(sink);
  if (genome_.failed()) KeepFirst(error_, genome_.error());
}

}  // namespace trelba
