#include "analysis/machinery_names.hpp"

#include <array>
#include <cstddef>

namespace trelba {
namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsAlnum(char c) {
  return IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z');
}

// Whether `text` at `at` starts with `word` (lower case), without case.
bool StartsWith(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (Lower(text[at + i]) != word[i]) return false;
  }
  return true;
}

// Where `word` (lower case) next stands in `text` from `at`, without case; npos if nowhere.
std::size_t Find(std::string_view text, std::string_view word, std::size_t at) {
  for (; at + word.size() <= text.size(); ++at) {
    if (StartsWith(text, at, word)) return at;
  }
  return std::string_view::npos;
}

// A byte that ends a product: the end of a bracketed field, of an attribute, a tab.
bool EndsProduct(char c) {
  return c == ']' || c == ';' || c == '|' || c == '\t' || c == '"';
}

// Where the product around `at` begins and ends.
std::string_view ProductAround(std::string_view text, std::size_t at) {
  std::size_t begin = at;
  while (begin > 0 && !EndsProduct(text[begin - 1]) && text[begin - 1] != '[' &&
         text[begin - 1] != '=') {
    --begin;
  }
  std::size_t end = at;
  while (end < text.size() && !EndsProduct(text[end]) && !(text[end] == '[' && end > at)) ++end;
  return text.substr(begin, end - begin);
}

// Whether the product at `at` of `text` is over: its end, a comma, or " (" (a remark such
// as "(Fragment)"), after blanks.
bool AtProductEnd(std::string_view text, std::size_t at) {
  while (at < text.size() && text[at] == ' ') ++at;
  return at == text.size() || EndsProduct(text[at]) || text[at] == ',' || text[at] == '(' ||
         text[at] == '[';
}

// Skips a trailing qualifier: " type X", " N" or " X" (one letter or a number).
std::size_t SkipQualifier(std::string_view text, std::size_t at) {
  std::size_t next = at;
  if (next < text.size() && (text[next] == ' ' || text[next] == '-')) ++next;
  if (StartsWith(text, next, "type ")) next += 5;
  const std::size_t first = next;
  while (next < text.size() && IsAlnum(text[next])) ++next;
  const std::size_t length = next - first;
  const bool number = length != 0 && IsDigit(text[first]) && IsDigit(text[next - 1]);
  if (length == 1 || (number && length <= 2)) return next;
  return at;
}

// Words that make a product something other than a cytosolic protein of translation: those
// of mitochondria (28S/39S in animals, 37S/54S in yeasts) and plastids too, and a protein
// that holds one domain of a factor ("Elongation factor Tu, domain 2").
constexpr std::array<std::string_view, 15> kExcluded = {
    "mitochondri",    "mitoribosom",   "chloroplast",   "plastid",       "apicoplast",
    "28s ribosomal",  "39s ribosomal", "37s ribosomal", "54s ribosomal", "transcription",
    "selenocysteine", "-like",         "like protein",  "kinase",        "domain"};

bool Excluded(std::string_view product) {
  for (const std::string_view word : kExcluded) {
    if (Find(product, word, 0) != std::string_view::npos) return true;
  }
  return false;
}

// Where a name of L, S or P at `at` ends: L2, S14, L7/L12, L7Ae, SA, and the archaeal LX and
// Lp0; npos where none stands there (L, S or P alone is no name, nor a word: LSU, Sigma).
std::size_t RibosomalNameEnd(std::string_view text, std::size_t at) {
  if (at >= text.size()) return std::string_view::npos;
  const char first = Lower(text[at]);
  if (first != 'l' && first != 's' && first != 'p') return std::string_view::npos;
  std::size_t end = at + 1;
  while (end < text.size() && (IsAlnum(text[end]) || text[end] == '/')) ++end;
  if (end == at + 1) return std::string_view::npos;
  const char second = Lower(text[at + 1]);
  const bool named = IsDigit(text[at + 1]) || (end == at + 2 && (second == 'a' || second == 'x')) ||
                     (second == 'p' && end > at + 2 && IsDigit(text[at + 2]));
  return named ? end : std::string_view::npos;
}

// After "ribosomal protein " at `at` (or "ribosomal 60S subunit protein "): one name of L,
// S or P, then the product's end.
bool RibosomalProteinName(std::string_view text, std::size_t at) {
  const std::size_t end = RibosomalNameEnd(text, at);
  if (end == std::string_view::npos) return false;
  return AtProductEnd(text, end) || AtProductEnd(text, SkipQualifier(text, end));
}

// After "ribosomal " at `at`: a name, then " protein" and the product's end ("Ribosomal LX
// protein", "ribosomal L37ae protein").
bool RibosomalNameThenProtein(std::string_view text, std::size_t at) {
  const std::size_t end = RibosomalNameEnd(text, at);
  return end != std::string_view::npos && StartsWith(text, end, " protein") &&
         AtProductEnd(text, end + 8);
}

// After "ribosomal subunit protein " at `at`: a name of the universal nomenclature (Ban et
// al. 2014, UniProtKB's since 2023): u (universal), b (bacterial) or e (eukaryotic and
// archaeal), L or S, a number, then the product's end. Organelles' names end in m or c
// (uL2m, bL12c) or begin so (mL37, cS23): none of those.
bool SubunitProteinName(std::string_view text, std::size_t at) {
  if (text.size() - at < 3) return false;
  const char kind = Lower(text[at]), subunit = Lower(text[at + 1]);
  if ((kind != 'u' && kind != 'b' && kind != 'e') || (subunit != 'l' && subunit != 's')) {
    return false;
  }
  std::size_t end = at + 2;
  while (end < text.size() && IsDigit(text[end])) ++end;
  if (end == at + 2 || (end < text.size() && IsAlnum(text[end]))) return false;
  return AtProductEnd(text, end);
}

// After EF-1's "1" at `at`: its alpha or beta subunit, as "-alpha", " alpha", "A", "1B",
// ", subunit alpha" or ", alpha subunit", then the product's end.
bool FactorOneSubunit(std::string_view text, std::size_t at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == ',' || text[at] == '-')) ++at;
  const bool subunit_first = StartsWith(text, at, "subunit ");
  if (subunit_first) at += 8;
  for (const std::string_view greek : {"alpha", "beta", "a", "b"}) {
    if (!StartsWith(text, at, greek)) continue;
    std::size_t end = at + greek.size();
    if (end < text.size() && IsAlnum(text[end])) continue;
    if (!subunit_first && StartsWith(text, end, " subunit")) end += 8;
    return AtProductEnd(text, end) || AtProductEnd(text, SkipQualifier(text, end));
  }
  return false;
}

// After "elongation factor" at `at` (a comma may come first: "translation elongation factor,
// EF-2"): one of the factors named, then the product's end.
bool ElongationFactorName(std::string_view text, std::size_t at) {
  if (at < text.size() && text[at] == ',') ++at;
  if (at >= text.size() || text[at] != ' ') return false;
  ++at;
  if (StartsWith(text, at, "ef-")) at += 3;
  if (StartsWith(text, at, "aef-")) at += 4;  // archaeal
  if (StartsWith(text, at, "1") && FactorOneSubunit(text, at + 1)) return true;
  constexpr std::array<std::string_view, 4> kFactors = {"tu", "ts", "g", "2"};
  for (const std::string_view factor : kFactors) {
    if (!StartsWith(text, at, factor)) continue;
    const std::size_t end = at + factor.size();
    if (end < text.size() && IsAlnum(text[end])) continue;  // "2b", "gamma"
    if (AtProductEnd(text, end) || AtProductEnd(text, SkipQualifier(text, end))) return true;
  }
  return false;
}

}  // namespace

bool NamesTranslationMachinery(std::string_view description) {
  // Each phrase that begins a name, and the rule for what must follow it.
  struct NameRule {
    std::string_view phrase;
    bool (*follows)(std::string_view, std::size_t);
  };
  constexpr std::array<NameRule, 6> kRules = {
      NameRule{"ribosomal protein ", RibosomalProteinName},
      NameRule{"ribosomal subunit protein ", SubunitProteinName},
      NameRule{"ribosomal 60s subunit protein ", RibosomalProteinName},  // SGD's
      NameRule{"ribosomal 40s subunit protein ", RibosomalProteinName},
      NameRule{"ribosomal ", RibosomalNameThenProtein},
      NameRule{"elongation factor", ElongationFactorName}};
  for (const NameRule& rule : kRules) {
    for (std::size_t at = 0; (at = Find(description, rule.phrase, at)) != std::string_view::npos;
         ++at) {
      if (rule.follows(description, at + rule.phrase.size()) &&
          !Excluded(ProductAround(description, at))) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace trelba
