#include "input/codon_table_text.hpp"

#include <charconv>
#include <cmath>
#include <vector>

#include "input/codon_index.hpp"

namespace trelba {
namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';';
}

// The words of `text` between separators, lines starting with '#' left out.
std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  bool line_start = true;
  for (std::size_t i = 0; i < text.size();) {
    if (line_start && text[i] == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      continue;
    }
    line_start = text[i] == '\n';
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && !IsSeparator(text[i])) ++i;
    words.push_back(text.substr(start, i - start));
  }
  return words;
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t end = line.find(separator);
    fields.push_back(line.substr(0, end));
    if (end == std::string_view::npos) return fields;
    line.remove_prefix(end + 1);
  }
}

std::optional<double> Number(std::string_view word) {
  double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// The codon index of a three-letter word (T or U, either case); 0 when it is none.
std::size_t CodonOf(std::string_view word) {
  if (word.size() != 3) return 0;
  const auto letter = [&](std::size_t i) {
    return word[i] == 'U' || word[i] == 'u' ? 'T' : word[i];
  };
  const int codon = CodonIndex(letter(0), letter(1), letter(2));
  return codon > 0 ? static_cast<std::size_t>(codon) : 0;
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text.substr(0, 40)).push_back('\'');
  return quoted;
}

std::optional<std::string> ReadUsageTable(std::string_view text, CodonTableText& table) {
  std::vector<std::string_view> lines = Split(text, '\n');
  for (std::string_view& line : lines) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  const std::vector<std::string_view> header = Split(lines[0], '\t');
  int file = -1, codon = -1, w = -1, optimal = -1, count = -1;
  for (std::size_t i = 0; i < header.size(); ++i) {
    const auto at = static_cast<int>(i);
    if (header[i] == "file") file = at;
    if (header[i] == "codon") codon = at;
    if (header[i] == "w") w = at;
    if (header[i] == "optimal") optimal = at;
    if (header[i] == "count") count = at;
  }
  if (codon < 0 || w < 0) return "its header row names no codon and w columns";
  table.usage_table = true;
  table.has_optimal = optimal >= 0;
  table.has_counts = count >= 0;
  std::array<bool, kCodonCount + 1> seen{};
  std::vector<std::string> other_files;
  // Each codon's w and optimal text of the first file, for the other files to match.
  std::array<std::string, kCodonCount + 1> first_text;
  bool any_row = false;
  for (std::size_t n = 1; n < lines.size(); ++n) {
    if (lines[n].empty()) continue;
    const std::vector<std::string_view> fields = Split(lines[n], '\t');
    const std::string line_number = "line " + std::to_string(n + 1);
    if (fields.size() != header.size())
      return line_number + " has not as many fields as the header";
    const std::size_t c = CodonOf(fields[static_cast<std::size_t>(codon)]);
    if (c == 0)
      return line_number + ": " + Quoted(fields[static_cast<std::size_t>(codon)]) + " is no codon";
    const std::string_view name = file >= 0 ? fields[static_cast<std::size_t>(file)] : "";
    const std::string_view w_text = fields[static_cast<std::size_t>(w)];
    const std::string_view optimal_text =
        optimal >= 0 ? fields[static_cast<std::size_t>(optimal)] : "";
    std::string text_of_row(w_text);
    text_of_row.append(1, '\t').append(optimal_text);
    if (!any_row) table.file = std::string(name);
    any_row = true;
    if (name != table.file) {
      if (first_text[c] != text_of_row) {
        return "it holds the tables of several references (" + table.file + ", " +
               std::string(name) + "): keep one file's rows";
      }
      continue;
    }
    if (seen[c])
      return line_number + ": codon " + CodonName(static_cast<int>(c)) + " a second time";
    seen[c] = true;
    first_text[c] = std::move(text_of_row);
    if (w_text != "NA") {
      const std::optional<double> value = Number(w_text);
      if (!value || *value < 0 || *value > 1) {
        return line_number + ": w " + Quoted(w_text) + " is no number from 0 to 1";
      }
      table.w[c] = *value;
      table.has_w[c] = true;
    }
    if (optimal >= 0) {
      if (optimal_text != "0" && optimal_text != "1" && optimal_text != "NA") {
        return line_number + ": optimal " + Quoted(optimal_text) + " is not 0, 1 or NA";
      }
      table.optimal[c] = optimal_text == "1";
    }
    if (count >= 0) {
      const std::string_view count_text = fields[static_cast<std::size_t>(count)];
      std::uint64_t value = 0;
      const auto [end, error] =
          std::from_chars(count_text.data(), count_text.data() + count_text.size(), value);
      if (error != std::errc() || end != count_text.data() + count_text.size()) {
        return line_number + ": count " + Quoted(count_text) + " is no whole number";
      }
      table.counts[c] = value;
    }
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    if (!seen[c]) return "it has no row of codon " + CodonName(static_cast<int>(c));
  }
  return std::nullopt;
}

}  // namespace

std::size_t CodonwPosition(std::size_t codon) {
  // Ours: first, second, third (each T, C, A, G); codonW's: first, third, second.
  const std::size_t first = (codon - 1) / 16, second = (codon - 1) / 4 % 4, third = (codon - 1) % 4;
  return first * 16 + third * 4 + second;
}

bool LooksLikeCodonTable(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return false;
  const char first = text[start];
  if ((first >= '0' && first <= '9') || first == '.') return true;
  const std::string_view line = text.substr(start, text.find('\n', start) - start);
  for (const std::string_view field : Split(line, '\t')) {
    if (field == "codon" || field == "codon\r") return true;
  }
  return false;
}

std::optional<std::string> ReadCodonTable(std::string_view text, CodonTableText& table) {
  table = CodonTableText{};
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start != std::string_view::npos && !(text[start] >= '0' && text[start] <= '9') &&
      text[start] != '.') {
    return ReadUsageTable(text.substr(start), table);
  }
  const std::vector<std::string_view> words = Words(text);
  if (words.size() != kCodonCount) {
    return "a table of w needs 64 values, not " + std::to_string(words.size());
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::string_view word = words[CodonwPosition(c)];
    const std::optional<double> value = Number(word);
    if (!value || *value < 0) return "w " + Quoted(word) + " is no number of 0 or more";
    table.w[c] = *value;
    table.has_w[c] = true;
  }
  return std::nullopt;
}

std::optional<std::string> ReadOptimalCodons(std::string_view text, OptimalCodonsText& codons) {
  codons = OptimalCodonsText{};
  const std::vector<std::string_view> words = Words(text);
  if (words.empty()) return "it names no codon";
  if (CodonOf(words[0]) != 0) {
    codons.list = true;
    codons.value.fill(2);
    for (const std::string_view word : words) {
      const std::size_t c = CodonOf(word);
      if (c == 0) return Quoted(word) + " is no codon";
      codons.value[c] = 3;
    }
    return std::nullopt;
  }
  if (words.size() != kCodonCount) {
    return "codonW's optimal codons are 64 values, not " + std::to_string(words.size());
  }
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    const std::string_view word = words[CodonwPosition(c)];
    if (word.size() != 1 || word[0] < '0' || word[0] > '3') {
      return Quoted(word) + " is not 0, 1, 2 or 3";
    }
    codons.value[c] = static_cast<std::uint8_t>(word[0] - '0');
  }
  return std::nullopt;
}

}  // namespace trelba
