// The member-parallel inflate of BGZF input, through InputFile: the same text as the
// sequential decoder on sound files, and on damaged ones the whole text of every member
// before the damage, then the read error.
#include "input/parallel_inflate.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "compress.hpp"
#include "input/input_file.hpp"

namespace trelba {
namespace {

const std::string& Text() {
  static const std::string text = test::ManyGenes(1'500'000);
  return text;
}

// A file of BGZF members and where each begins, in the file and in the text.
struct Members {
  std::string bytes;
  std::vector<std::size_t> at;       // of each member in `bytes`
  std::vector<std::size_t> text_at;  // of its text
  void Add(const std::string& member, std::size_t text) {
    at.push_back(bytes.size());
    text_at.push_back(text);
    bytes += member;
  }
};

// The text in members of the sizes of `pieces`, taken in turn; with the end-of-file
// member when `eof`.
Members Cut(std::vector<std::size_t> pieces, bool eof = true) {
  Members m;
  for (std::size_t at = 0, k = 0; at < Text().size(); at += pieces[k++ % pieces.size()]) {
    m.Add(test::BgzfMember(Text().substr(at, pieces[k % pieces.size()])), at);
  }
  if (eof) m.Add(test::BgzfMember(""), Text().size());
  return m;
}

std::string Flip(std::string bytes, std::size_t at) {
  bytes[at] = static_cast<char>(bytes[at] ^ 0x40);
  return bytes;
}

// BSIZE of the member at `at` changed by `by`.
std::string Resize(std::string bytes, std::size_t at, int by) {
  const int size = (static_cast<unsigned char>(bytes[at + 16]) |
                    static_cast<unsigned char>(bytes[at + 17]) << 8) +
                   by;
  bytes[at + 16] = static_cast<char>(size & 0xff);
  bytes[at + 17] = static_cast<char>(size >> 8);
  return bytes;
}

struct File {
  std::string bytes;
  bool sound;
  std::size_t text_before_damage;  // of a damaged file
};

struct Case {
  const char* name;
  std::function<File()> make;
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

const std::size_t kAll = 0;  // unused for sound files

const Case kCases[] = {
    {"VaryingSizes",
     [] {
       return File{Cut({1, 777, 65280, 4096, 65536, 12}).bytes, true, kAll};
     }},
    {"ManySmallMembers",
     [] {
       return File{Cut({1000}).bytes, true, kAll};
     }},
    {"NoEndOfFileMember",
     [] {
       return File{Cut({65280}, false).bytes, true, kAll};
     }},
    {"EmptyMembersBetween",
     [] {
       Members m = Cut({30'000});
       std::string bytes;
       for (std::size_t k = 0; k + 1 < m.at.size(); ++k) {
         bytes += m.bytes.substr(m.at[k], m.at[k + 1] - m.at[k]) + test::BgzfMember("");
       }
       return File{bytes + test::BgzfMember(""), true, kAll};
     }},
    {"TextOver64KiBInOneMember",
     [] {
       const std::string& t = Text();
       return File{test::Bgzf(t.substr(0, 100'000)) + test::BgzfMember(t.substr(100'000, 200'000)) +
                       test::Bgzf(t.substr(300'000)),
                   true, kAll};
     }},
    {"PlainGzipMemberAfter",
     [] {
       const std::string& t = Text();
       return File{test::Bgzf(t.substr(0, 500'000)) + test::Gzip(t.substr(500'000)), true, kAll};
     }},
    {"ZeroPaddingAtTheEnd",
     [] {
       return File{test::Bgzf(Text()) + std::string(100'000, '\0'), true, kAll};
     }},
    {"SizeFieldTooLarge",
     [] {
       const Members m = Cut({65280});
       return File{Resize(m.bytes, m.at[5], 1), true, kAll};
     }},
    {"SizeFieldTooSmall",
     [] {
       const Members m = Cut({65280});
       return File{Resize(m.bytes, m.at[5], -3), true, kAll};
     }},
    {"FlippedByteInAMiddleMember",
     [] {
       const Members m = Cut({20'000});
       return File{Flip(m.bytes, m.at[30] + 100), false, m.text_at[30]};
     }},
    {"BadCrcInAMiddleMember",
     [] {
       const Members m = Cut({20'000});
       return File{Flip(m.bytes, m.at[31] - 8), false, m.text_at[30]};
     }},
    {"BadLengthInAMiddleMember",
     [] {
       const Members m = Cut({20'000});
       return File{Flip(m.bytes, m.at[31] - 2), false, m.text_at[30]};
     }},
    {"LastMemberCut",
     [] {
       const Members m = Cut({65280}, false);
       return File{m.bytes.substr(0, m.bytes.size() - 5), false, m.text_at.back()};
     }},
    {"OnlyAHeaderAtTheEnd",
     [] {
       return File{test::Bgzf(Text()) + test::BgzfMember("x").substr(0, 14), false, kAll};
     }},
    {"GarbageAfterTheLastMember",
     [] {
       return File{test::Bgzf(Text()) + "not a member", false, Text().size()};
     }},
    {"MemberAfterZeroPadding",
     [] {
       return File{test::Bgzf(Text()) + std::string(8, '\0') + test::BgzfMember("x"), false,
                   Text().size()};
     }},
};

struct ReadAll {
  bool failed = false;
  std::string text;
};

ReadAll ReadFile(const std::string& path, unsigned threads, std::size_t block) {
  InputFile input;
  input.SetInflateThreads(threads);
  EXPECT_TRUE(input.Open(path));
  ReadAll all;
  std::vector<char> buffer(block);
  for (;;) {
    const std::ptrdiff_t n = input.Read(buffer.data(), buffer.size());
    if (n <= 0) {
      all.failed = n < 0;
      return all;
    }
    all.text.append(buffer.data(), static_cast<std::size_t>(n));
  }
}

class BgzfInput : public ::testing::TestWithParam<Case> {};

TEST_P(BgzfInput, ReadsAsTheSequentialDecoderReads) {
  File file = GetParam().make();
  if (!file.sound && file.text_before_damage == kAll) file.text_before_damage = Text().size();
  const auto* start = reinterpret_cast<const unsigned char*>(file.bytes.data());
  ASSERT_NE(MakeParallelGzipDecoder(2, start, file.bytes.size()), nullptr) << "not read as BGZF";
  const std::string path = ::testing::TempDir() + "bgzf_" + GetParam().name + ".gz";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  std::fwrite(file.bytes.data(), 1, file.bytes.size(), out);
  std::fclose(out);
  struct Reading {
    unsigned threads;
    std::size_t block;
  };
  for (const Reading reading : {Reading{1, 65536}, Reading{2, 65536}, Reading{4, 3001}}) {
    const ReadAll all = ReadFile(path, reading.threads, reading.block);
    const std::string what = std::to_string(reading.threads) + " threads";
    EXPECT_EQ(all.failed, !file.sound) << what;
    if (file.sound) {
      EXPECT_TRUE(all.text == Text()) << what << ": " << all.text.size() << " bytes";
    } else {
      // Every member before the damage, then at most what the damaged one held (the
      // sequential decoder gives none of the text its failing step made).
      if (reading.threads > 1) {
        EXPECT_GE(all.text.size(), file.text_before_damage) << what;
      }
      EXPECT_TRUE(Text().compare(0, all.text.size(), all.text) == 0) << what;
    }
  }
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Table, BgzfInput, ::testing::ValuesIn(kCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Only files that begin with a BGZF member, and only on several threads, take this path.
TEST(ParallelGzipDecoder, IsMadeForBgzfOnSeveralThreadsOnly) {
  const std::string bgzf = test::Bgzf("ACGT");
  const std::string gzip = test::Gzip("ACGT");
  const auto bytes = [](const std::string& s) {
    return reinterpret_cast<const unsigned char*>(s.data());
  };
  EXPECT_NE(MakeParallelGzipDecoder(2, bytes(bgzf), bgzf.size()), nullptr);
  EXPECT_EQ(MakeParallelGzipDecoder(1, bytes(bgzf), bgzf.size()), nullptr);
  EXPECT_EQ(MakeParallelGzipDecoder(2, bytes(gzip), gzip.size()), nullptr);
}

}  // namespace
}  // namespace trelba
