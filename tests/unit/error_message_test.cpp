// File names in messages: every byte shown so that the message stays one line and the
// name can be read back exactly.
#include "driver/error_message.hpp"

#include <gtest/gtest.h>

#include <string>

namespace trelba {
namespace {

// Reads an escaped name back.
std::string Unescape(const std::string& shown) {
  std::string name;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] != '\\') {
      name += shown[i];
      continue;
    }
    const char kind = shown[++i];
    if (kind == 'n') name += '\n';
    if (kind == 't') name += '\t';
    if (kind == 'r') name += '\r';
    if (kind == '\\') name += '\\';
    if (kind == 'x') {
      name += static_cast<char>(std::stoi(shown.substr(i + 1, 2), nullptr, 16));
      i += 2;
    }
  }
  return name;
}

TEST(PrintableName, EveryByteIsShownOnOneLineAndReadsBack) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string name = std::string("a") + static_cast<char>(byte) + "b.fa";
    const std::string shown = PrintableName(name);
    for (const char c : shown) {
      const auto u = static_cast<unsigned char>(c);
      EXPECT_FALSE(u < 0x20 || u == 0x7f) << "byte " << byte;
    }
    EXPECT_EQ(Unescape(shown), name) << "byte " << byte;
  }
}

TEST(PrintableName, OrdinaryNamesAreUnchanged) {
  EXPECT_EQ(PrintableName("./sub/gènes de souris.fa.gz"), "./sub/gènes de souris.fa.gz");
  EXPECT_EQ(PrintableName("in\n.fa\x1b"), "in\\n.fa\\x1b");
}

}  // namespace
}  // namespace trelba
