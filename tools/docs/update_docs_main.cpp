// trelba_docs --check|--write FILE...: keeps the generated blocks of the README (*.md)
// and the manual page (anything else, roff) equal to what the code's tables give.
// --check prints the expected text of every block that differs and exits with 1.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "code_documentation.hpp"
#include "command_line_documentation.hpp"
#include "generated_blocks.hpp"

namespace {

struct Block {
  std::string_view name;
  std::string (*markdown)();
  std::string (*roff)();
};

// A block that one of the two documents lacks has no function for its markup.
constexpr Block kBlocks[] = {
    {"variant table", trelba::VariantTableMarkdown, trelba::VariantTableRoff},
    {"family key", trelba::FamilyKeyMarkdown, trelba::FamilyKeyRoff},
    {"NCBI tables", trelba::NcbiTablesMarkdown, trelba::NcbiTablesRoff},
    {"usage", trelba::UsageMarkdown, nullptr},
    {"options", nullptr, trelba::OptionsRoff},
    {"table columns", trelba::TableColumnsMarkdown, trelba::TableColumnsRoff},
    {"summary columns", trelba::SummaryColumnsMarkdown, trelba::SummaryColumnsRoff},
    {"diagnostics", nullptr, trelba::DiagnosticsRoff},
};

// 0 when `path` holds every block as generated (or now does, when `write`), else 1.
int Update(const std::string& path, bool write) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "Error opening file: " << path << "\n";
    return 1;
  }
  std::ostringstream read;
  read << in.rdbuf();
  const std::string original = read.str();
  const trelba::Markup markup =
      path.ends_with(".md") ? trelba::Markup::kMarkdown : trelba::Markup::kRoff;
  std::string text = original;
  int status = 0;
  for (const Block& block : kBlocks) {
    const auto make = markup == trelba::Markup::kMarkdown ? block.markdown : block.roff;
    if (make == nullptr) continue;
    const std::string content = make();
    const auto replaced = trelba::ReplaceBlock(text, block.name, markup, content);
    if (!replaced) {
      std::cerr << path << ": no single pair of marker lines for the " << block.name
                << "; the block should read:\n"
                << trelba::BlockBegin(block.name, markup) << content
                << trelba::BlockEnd(block.name, markup);
      status = 1;
    } else if (*replaced != text && !write) {
      std::cerr << path << ": the " << block.name << " differs from the code; it should read:\n"
                << trelba::BlockBegin(block.name, markup) << content
                << trelba::BlockEnd(block.name, markup);
      status = 1;
    } else {
      text = *replaced;
    }
  }
  if (write && text != original) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) {
      std::cerr << "Error writing file: " << path << "\n";
      return 1;
    }
    std::cout << "updated " << path << "\n";
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if ((mode != "--check" && mode != "--write") || argc < 3) {
    std::cerr << "Usage: trelba_docs --check|--write FILE...\n";
    return 2;
  }
  int status = 0;
  for (int i = 2; i < argc; ++i) status |= Update(argv[i], mode == "--write");
  return status;
}
