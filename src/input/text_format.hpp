// What kind of text an input holds, told by its first bytes (blank lines before them
// passed over): FASTA, a GenBank or EMBL flat file, or GFF3. Anything else is read as
// FASTA, as it always was.
#pragma once

#include <string_view>

namespace trelba {

enum class TextFormat { kUndecided, kFasta, kGenBank, kEmbl, kGff3 };

// The format of a text that begins with `head`: kUndecided while `head` is too short to
// tell and more text may come (`more`).
TextFormat SniffTextFormat(std::string_view head, bool more);

// What an input that gave no sequence was, for the summary's status: "empty" (no text but
// whitespace), "binary" (NUL bytes), "fastq" (a first '@'), else "text"; `first_byte` is
// its first byte that is no whitespace (-1: none).
std::string_view NoSequenceKind(int first_byte, bool nul_bytes);

// "FASTA", "GenBank", "EMBL", "GFF3".
std::string_view TextFormatName(TextFormat format);

}  // namespace trelba
