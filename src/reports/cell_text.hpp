// The text of one cell of the table, the summary and the codon usage: six significant
// digits, or "NA" where there is no number; whole numbers as they are.
//
// Text fields (file, id, description) are written so that csv readers (Python's csv,
// pandas, R's read.delim) take them as they are: control characters and bytes that are
// not UTF-8 become '?', and a field holding '"' is quoted, its quotes doubled.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "numeric/number_format.hpp"
#include "reports/output_buffer.hpp"

namespace trelba {

// What stands in the table for a byte of a text that would break a line or a terminal
// (control characters), or that is not UTF-8.
inline constexpr char kTextReplacement = '?';

// The most bytes a number or whole-number cell takes.
inline constexpr std::size_t kMaxCellText = kMaxNumberText;

// "NA" at `p`; the end of what was written.
inline char* WriteNotAvailable(char* p) {
  p[0] = 'N';
  p[1] = 'A';
  return p + 2;
}

// A whole number at `p`; the end of what was written (at most kMaxCellText bytes).
inline char* WriteInteger(char* p, std::uint64_t value) {
  if (value < 10) {  // most counts of stops, partial letters and codons
    *p = static_cast<char>('0' + value);
    return p + 1;
  }
  return std::to_chars(p, p + kMaxCellText, value).ptr;
}

// A number at `p` ("NA" for NaN, else six significant digits); the end of what was written
// (at most kMaxCellText bytes).
inline char* WriteNumberOrNa(char* p, double value) {
  return std::isnan(value) ? WriteNotAvailable(p) : FormatDouble(p, value);
}

// The length of the well-formed UTF-8 sequence at `p` (end at `end`), 0 when there is none:
// no overlong forms, no surrogates, nothing past U+10FFFF.
std::size_t Utf8Length(const unsigned char* p, const unsigned char* end);

// `text` as a text field is written.
void AppendTableText(OutputBuffer& out, std::string_view text);

// A tab and a number, or a tab and a count, as every tab-separated output writes them.
void AppendNumberField(OutputBuffer& out, double value);
void AppendCountField(OutputBuffer& out, std::uint64_t count);

}  // namespace trelba
