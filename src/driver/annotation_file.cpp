#include "driver/annotation_file.hpp"

#include <memory>

#include "driver/error_message.hpp"
#include "driver/input_reader.hpp"
#include "driver/output_names.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/line_splitter.hpp"

namespace trelba {

std::optional<std::string> ReadGffFile(const std::string& file, GffAnnotation& annotation) {
  const std::string name(InputName(file));
  InputFile source;
  const bool opened =
      file == kStandardStream ? source.OpenDescriptor(kStandardInputDescriptor) : source.Open(file);
  if (!opened) return FileErrorText("opening", name, source.error());
  if (source.refusal() != nullptr) return FileErrorText("reading", name, {0, source.refusal()});
  annotation.Clear();
  LineSplitter lines;
  const auto line = [&](std::string_view text) {
    if (text.substr(0, 7) == "##FASTA" || (!text.empty() && text[0] == '>')) return false;
    return annotation.AddLine(text, lines.lines());
  };
  const std::unique_ptr<char[]> block(new char[kReadBlock]);
  for (;;) {
    const std::ptrdiff_t n = source.Read(block.get(), kReadBlock);
    if (n < 0) return FileErrorText("reading", name, source.error());
    if (n == 0) {
      lines.Finish(line);
      break;
    }
    if (lines.Feed(block.get(), static_cast<std::size_t>(n), line) != static_cast<std::size_t>(n)) {
      break;
    }
  }
  if (annotation.failed()) return FileErrorText("reading", name, annotation.error());
  annotation.Seal();
  return std::nullopt;
}

}  // namespace trelba
