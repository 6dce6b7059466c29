#include "driver/annotation_file.hpp"

#include <charconv>
#include <memory>
#include <new>

#include "driver/error_message.hpp"
#include "driver/input_reader.hpp"
#include "driver/output_names.hpp"
#include "input/input_file.hpp"
#include "input/input_file_system.hpp"
#include "input/line_splitter.hpp"
#include "input/text_format.hpp"

namespace trelba {

namespace {

std::optional<std::string> ReadLines(const std::string& file, GffAnnotation& annotation,
                                     FailureCause& cause) {
  const std::string name(InputName(file));
  InputFile source;
  const bool opened =
      file == kStandardStream ? source.OpenDescriptor(kStandardInputDescriptor) : source.Open(file);
  if (!opened) {
    cause = source.error();
    return FileErrorText("opening", name, source.error());
  }
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

std::optional<int> FindTable(const std::string& file) {
  if (file == kStandardStream) return std::nullopt;
  InputFile source;
  if (!source.Open(file) || source.refusal() != nullptr) return std::nullopt;
  std::string text;
  const std::unique_ptr<char[]> block(new char[kReadBlock]);
  while (text.size() < kTableLookAhead) {
    const std::ptrdiff_t n = source.Read(block.get(), kReadBlock);
    if (n <= 0) break;
    text.append(block.get(), static_cast<std::size_t>(n));
    if (SniffTextFormat(text, true) == TextFormat::kFasta) return std::nullopt;
  }
  const TextFormat format = SniffTextFormat(text, false);
  if (format == TextFormat::kFasta) return std::nullopt;
  const std::string_view key = format == TextFormat::kGff3 ? "transl_table=" : "/transl_table=";
  // GenBank and EMBL name the table of a CDS after its key; the first one counts.
  const std::size_t cds = format == TextFormat::kGff3 ? text.find("\tCDS\t") : text.find(" CDS ");
  if (cds == std::string::npos) return std::nullopt;
  const std::size_t at = text.find(key, cds);
  if (at == std::string::npos) return std::nullopt;
  int table = 0;
  const char* const begin = text.data() + at + key.size();
  const auto [end, error] = std::from_chars(begin, text.data() + text.size(), table);
  if (error != std::errc() || end == begin) return std::nullopt;
  return table;
}

}  // namespace

std::optional<std::string> ReadGffFile(const std::string& file, GffAnnotation& annotation,
                                       FailureCause* cause) {
  FailureCause unused;
  try {
    return ReadLines(file, annotation, cause != nullptr ? *cause : unused);
  } catch (const std::bad_alloc&) {
    return FileErrorText("reading", InputName(file), FailureCause{0, kOutOfMemory});
  }
}

// Memory that cannot be had for the look ahead leaves the code as it was.
std::optional<int> FirstTranslationTable(const std::string& file) {
  try {
    return FindTable(file);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace trelba
