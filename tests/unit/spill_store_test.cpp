// A store that keeps a few bytes in memory and the rest in a file gives back every stretch
// as it was written, across the boundary and after writes and reads interleave.
#include "input/spill_store.hpp"

#include <gtest/gtest.h>

#include <string>

namespace trelba {
namespace {

TEST(SpillStore, GivesBackEveryStretchAcrossMemoryAndFile) {
  SpillStore store(10);
  std::string written;
  for (int round = 0; round < 3; ++round) {
    store.Clear();
    written.clear();
    for (int k = 0; k < 40; ++k) {
      const std::string piece(static_cast<std::size_t>(k % 7), static_cast<char>('a' + k % 26));
      ASSERT_TRUE(store.Append(piece.data(), piece.size()));
      written += piece;
      // A read between writes leaves the next write where it belongs.
      if (k % 5 == 0 && !written.empty()) {
        char first = 0;
        ASSERT_TRUE(store.Read(0, &first, 1));
        EXPECT_EQ(first, written[0]);
      }
    }
    ASSERT_EQ(store.size(), written.size());
    for (std::size_t at : {0u, 5u, 9u, 10u, 11u, 50u}) {
      for (std::size_t n : {0u, 1u, 3u, 20u}) {
        if (at + n > written.size()) continue;
        std::string back(n, '?');
        ASSERT_TRUE(store.Read(at, back.data(), n)) << at << " " << n;
        EXPECT_EQ(back, written.substr(at, n)) << at << " " << n;
      }
    }
    char past = 0;
    EXPECT_FALSE(store.Read(written.size(), &past, 1));
  }
}

}  // namespace
}  // namespace trelba
