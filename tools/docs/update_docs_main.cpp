// trelba_docs --check|--write FILE...: keeps the generated blocks of the Markdown documents
// (*.md: README.md and those of docs/), of the R package's documentation (*.Rd), of the
// shell completion scripts (completion/), of the Galaxy tool's help (*.xml, reStructuredText)
// and of the manual page (anything else, roff) equal to what the code's tables give. Each block
// stands in exactly one of the documents of its markup that are named. --check prints the
// expected text of every block that differs and exits with 1.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "code_documentation.hpp"
#include "command_line_documentation.hpp"
#include "galaxy_documentation.hpp"
#include "generated_blocks.hpp"
#include "r_documentation.hpp"
#include "shell_completion.hpp"

namespace {

struct Block {
  std::string_view name;
  std::string (*markdown)();
  std::string (*roff)();
  std::string (*rd)() = nullptr;
  std::string (*shell)() = nullptr;
  std::string (*rst)() = nullptr;
};

// A block that one of the two markups lacks has no function for it.
constexpr Block kBlocks[] = {
    {"variant table", trelba::VariantTableMarkdown, trelba::VariantTableRoff},
    {"family key", trelba::FamilyKeyMarkdown, trelba::FamilyKeyRoff},
    {"NCBI tables", trelba::NcbiTablesMarkdown, trelba::NcbiTablesRoff},
    {"usage", trelba::UsageMarkdown, nullptr},
    {"options", nullptr, trelba::OptionsRoff},
    {"table columns", trelba::TableColumnsMarkdown, trelba::TableColumnsRoff,
     trelba::TableColumnsRd, nullptr, trelba::TableColumnsGalaxy},
    {"summary columns", trelba::SummaryColumnsMarkdown, trelba::SummaryColumnsRoff, nullptr,
     nullptr, trelba::SummaryColumnsGalaxy},
    {"codon usage columns", trelba::CodonUsageColumnsMarkdown, trelba::CodonUsageColumnsRoff,
     nullptr, nullptr, trelba::CodonUsageColumnsGalaxy},
    {"diagnostics", nullptr, trelba::DiagnosticsRoff},
    {"bash completion", nullptr, nullptr, nullptr, trelba::BashCompletion},
    {"zsh completion", nullptr, nullptr, nullptr, trelba::ZshCompletion},
};

struct Document {
  std::string path;
  trelba::Markup markup;
  std::string original;
  std::string text;
};

std::string Expected(std::string_view name, trelba::Markup markup, const std::string& content) {
  return trelba::BlockBegin(name, markup) + content + trelba::BlockEnd(name, markup);
}

// Brings `block` up to date in the one document of `markup` that holds it; 0, or 1 after
// saying what is wrong (no document or several hold it, its markers are broken, or, when
// only checking, it differs).
int UpdateBlock(const Block& block, trelba::Markup markup, std::vector<Document>& documents,
                bool write) {
  const auto make = markup == trelba::Markup::kMarkdown ? block.markdown
                    : markup == trelba::Markup::kRoff   ? block.roff
                    : markup == trelba::Markup::kRd     ? block.rd
                    : markup == trelba::Markup::kShell  ? block.shell
                                                        : block.rst;
  if (make == nullptr) return 0;
  std::vector<Document*> holders;
  bool any = false;
  for (Document& document : documents) {
    if (document.markup != markup) continue;
    any = true;
    if (trelba::MentionsBlock(document.text, block.name, markup)) holders.push_back(&document);
  }
  if (!any) return 0;
  const std::string content = make();
  if (holders.size() != 1) {
    std::cerr << (holders.empty() ? "no document holds" : "more than one document holds") << " the "
              << block.name << "; it should read, in one of them:\n"
              << Expected(block.name, markup, content);
    return 1;
  }
  Document& document = *holders.front();
  const auto replaced = trelba::ReplaceBlock(document.text, block.name, markup, content);
  if (!replaced) {
    std::cerr << document.path << ": no single pair of marker lines for the " << block.name
              << "; the block should read:\n"
              << Expected(block.name, markup, content);
    return 1;
  }
  if (*replaced != document.text && !write) {
    std::cerr << document.path << ": the " << block.name
              << " differs from the code; it should read:\n"
              << Expected(block.name, markup, content);
    return 1;
  }
  document.text = *replaced;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if ((mode != "--check" && mode != "--write") || argc < 3) {
    std::cerr << "Usage: trelba_docs --check|--write FILE...\n";
    return 2;
  }
  const bool write = mode == "--write";
  std::vector<Document> documents;
  for (int i = 2; i < argc; ++i) {
    const std::string path = argv[i];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::cerr << "Error opening file: " << path << "\n";
      return 1;
    }
    std::ostringstream read;
    read << in.rdbuf();
    documents.push_back({path, trelba::MarkupOfPath(path), read.str(), read.str()});
  }
  int status = 0;
  for (const Block& block : kBlocks) {
    for (const trelba::Markup markup :
         {trelba::Markup::kMarkdown, trelba::Markup::kRoff, trelba::Markup::kRd,
          trelba::Markup::kShell, trelba::Markup::kRst}) {
      status |= UpdateBlock(block, markup, documents, write);
    }
  }
  for (const Document& document : documents) {
    if (!write || document.text == document.original) continue;
    std::ofstream out(document.path, std::ios::binary | std::ios::trunc);
    out << document.text;
    if (!out.flush()) {
      std::cerr << "Error writing file: " << document.path << "\n";
      return 1;
    }
    std::cout << "updated " << document.path << "\n";
  }
  return status;
}
