#include "input/rna_marks.hpp"

namespace trelba {
namespace {

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

bool MarksRna(std::string_view d) {
  for (const std::string_view kind : {"tRNA", "rRNA", "tmRNA", "ncRNA"}) {
    for (const std::string_view key : {"[gbkey=", "gbkey="}) {
      const std::size_t at = d.find(key);
      if (at != std::string_view::npos && d.substr(at + key.size(), kind.size()) == kind) {
        const std::string_view rest = d.substr(at + key.size() + kind.size());
        if (rest.empty() || rest[0] == ']' || rest[0] == ';' || rest[0] == ' ') return true;
      }
    }
  }
  // A product alone: "tRNA-Leu(caa)", "16S ribosomal RNA (partial)", "transfer-messenger RNA".
  std::string_view product = d;
  if (EndsWith(product, " (partial)")) product.remove_suffix(10);
  if (product.substr(0, 5) == "tRNA-" && product.find(' ') == std::string_view::npos) return true;
  if (product == "ribosomal RNA" ||
      (EndsWith(product, " ribosomal RNA") &&
       product.find(' ') == product.size() - std::string_view(" ribosomal RNA").size())) {
    return true;
  }
  constexpr std::string_view kTmRna = "transfer-messenger RNA";
  return product.substr(0, kTmRna.size()) == kTmRna &&
         (product.size() == kTmRna.size() || product[kTmRna.size()] == ',');
}

bool MarksPseudogene(std::string_view d) {
  return d.find("[pseudo=true]") != std::string_view::npos;
}

}  // namespace trelba
