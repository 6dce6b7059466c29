#include "generated_blocks.hpp"

namespace trelba {
namespace {

constexpr std::string_view kRegenerate = "cmake --build build --target update-docs";

std::size_t FindOnce(std::string_view text, std::string_view line) {
  const std::size_t at = text.find(line);
  if (at == std::string_view::npos || text.find(line, at + 1) != std::string_view::npos) {
    return std::string_view::npos;
  }
  return at;
}

// `words` as a comment line of the markup.
std::string MarkerLine(const std::string& words, Markup markup) {
  switch (markup) {
    case Markup::kMarkdown:
      return "<!-- " + words + " -->\n";
    case Markup::kRoff:
      return ".\\\" " + words + "\n";
    case Markup::kRd:
      return "% " + words + "\n";
    case Markup::kShell:
      return "# " + words + "\n";
    case Markup::kRst:
      return ".. " + words + "\n";
  }
  return {};
}

}  // namespace

Markup MarkupOfPath(std::string_view path) {
  const std::string_view base = path.substr(path.find_last_of('/') + 1);
  if (base.ends_with(".md")) return Markup::kMarkdown;
  if (base.ends_with(".Rd")) return Markup::kRd;
  if (base.ends_with(".bash") || base.starts_with('_')) return Markup::kShell;
  if (base.ends_with(".xml")) return Markup::kRst;
  return Markup::kRoff;
}

std::string BlockBegin(std::string_view name, Markup markup) {
  const std::string words = "generated from the code: " + std::string(name) +
                            " (to change it, edit the code and run " + std::string(kRegenerate) +
                            ")";
  return MarkerLine(words, markup);
}

std::string BlockEnd(std::string_view name, Markup markup) {
  return MarkerLine("end of " + std::string(name), markup);
}

bool MentionsBlock(std::string_view text, std::string_view name, Markup markup) {
  return text.find(BlockBegin(name, markup)) != std::string_view::npos ||
         text.find(BlockEnd(name, markup)) != std::string_view::npos;
}

std::optional<std::string> ReplaceBlock(std::string_view text, std::string_view name, Markup markup,
                                        std::string_view content) {
  const std::string begin = BlockBegin(name, markup);
  const std::string end = BlockEnd(name, markup);
  const std::size_t begin_at = FindOnce(text, begin);
  const std::size_t end_at = FindOnce(text, end);
  if (begin_at == std::string_view::npos || end_at == std::string_view::npos ||
      end_at < begin_at + begin.size()) {
    return std::nullopt;
  }
  std::string replaced(text.substr(0, begin_at + begin.size()));
  replaced += content;
  replaced += text.substr(end_at);
  return replaced;
}

}  // namespace trelba
