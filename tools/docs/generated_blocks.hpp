// Blocks of generated text inside hand-written documents, between two marker lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace trelba {

// kRst: reStructuredText, as the help of the Galaxy tool (galaxy/trelba.xml) is written.
enum class Markup { kMarkdown, kRoff, kRd, kShell, kRst };

// The markup of the document at `path`: Markdown (*.md), R documentation (*.Rd), shell (the
// completion scripts: *.bash, or a zsh function file whose name begins with '_'),
// reStructuredText (*.xml, the Galaxy tool), else roff.
Markup MarkupOfPath(std::string_view path);

// The line that opens and the line that closes the block `name` (each with its '\n').
std::string BlockBegin(std::string_view name, Markup markup);
std::string BlockEnd(std::string_view name, Markup markup);

// Whether `text` has either marker line of block `name`: the document is meant to hold it.
bool MentionsBlock(std::string_view text, std::string_view name, Markup markup);

// `text` with whatever stands between the marker lines of block `name` replaced by
// `content`; nothing when either marker is missing, repeated or out of order.
std::optional<std::string> ReplaceBlock(std::string_view text, std::string_view name, Markup markup,
                                        std::string_view content);

}  // namespace trelba
