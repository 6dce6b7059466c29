#include "reports/cusp_report.hpp"

#include <array>
#include <charconv>
#include <string>

#include "codes/ncbi_tables.hpp"

namespace trelba {
namespace {

// `value` as printf's "%<width>.<precision>f" writes it.
void AppendFixed(std::string& line, double value, int width, int precision) {
  char text[64];
  const auto result =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
  const auto size = static_cast<std::size_t>(result.ptr - text);
  if (static_cast<int>(size) < width) line.append(static_cast<std::size_t>(width) - size, ' ');
  line.append(text, size);
}

void AppendInteger(std::string& line, std::uint64_t value, int width) {
  const std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) {
    line.append(static_cast<std::size_t>(width) - text.size(), ' ');
  }
  line += text;
}

// A count as cusp converts it: to float, then to double.
double AsFloat(std::uint64_t count) {
  return static_cast<double>(static_cast<float>(count));
}

}  // namespace

void WriteCuspTable(OutputBuffer& out, const GeneticCode& code, const CodonCounts& pooled) {
  const GeneticCode& table = *NcbiGeneticCode(code.amino_acid_table);
  // Each codon's amino acid letter ('*' for stops).
  std::array<char, kCodonCount + 1> letter{};
  for (std::size_t f = 1; f <= kFamilyCount; ++f) {
    const Family& family = table.families[f];
    for (unsigned m = 0; m < family.size; ++m) letter[family.members[m]] = kFamilyLetters[f];
  }
  std::array<std::uint64_t, 128> acid_total{};
  std::uint64_t codons = 0;
  std::array<std::uint64_t, 3> gc{};
  for (std::size_t c = 1; c <= kCodonCount; ++c) {
    acid_total[static_cast<unsigned char>(letter[c])] += pooled[c];
    codons += pooled[c];
    const std::string name = CodonName(static_cast<int>(c));
    for (std::size_t p = 0; p < 3; ++p) {
      if (name[p] == 'C' || name[p] == 'G') gc[p] += pooled[c];
    }
  }
  std::string text;
  if (acid_total['*'] != 0) text += "#CdsCount: " + std::to_string(acid_total['*']) + "\n";
  const double total = AsFloat(codons);
  const double all_gc = AsFloat(gc[0] + gc[1] + gc[2]);
  const char* const labels[] = {"\n#Coding GC ", "#1st letter GC ", "#2nd letter GC ",
                                "#3rd letter GC "};
  for (std::size_t p = 0; p < 4; ++p) {
    text += labels[p];
    AppendFixed(text, p == 0 ? 100.0 * all_gc / total / 3.0 : 100.0 * AsFloat(gc[p - 1]) / total, 5,
                2);
    text += "%\n";
  }
  text += "\n#Codon AA Fraction Frequency Number\n";
  // Amino acids by letter, stops last; codons in alphabetical order.
  constexpr std::string_view kAlphabetical = "ACGT";
  for (char acid = 'A'; acid <= '['; ++acid) {
    const char shown = acid == '[' ? '*' : acid;
    for (std::size_t i = 0; i < kCodonCount; ++i) {
      const int c = CodonIndexOfName(
          std::string{kAlphabetical[i / 16], kAlphabetical[i / 4 % 4], kAlphabetical[i % 4]});
      const auto codon = static_cast<std::size_t>(c);
      if (letter[codon] != shown) continue;
      const std::uint64_t count = pooled[codon];
      const std::uint64_t acid_count = acid_total[static_cast<unsigned char>(shown)];
      text += CodonName(c) + "    " + shown + "  ";
      AppendFixed(
          text,
          acid_count == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(acid_count), 8,
          3);
      text += ' ';
      AppendFixed(
          text,
          codons == 0 ? 0.0 : static_cast<double>(count) / static_cast<double>(codons) * 1000.0, 9,
          3);
      text += ' ';
      AppendInteger(text, count, 6);
      text += '\n';
    }
  }
  out.Append(text);
}

}  // namespace trelba
