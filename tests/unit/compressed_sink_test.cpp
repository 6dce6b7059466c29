// Compressed outputs: every format's own library reads back the text written, whatever the
// pieces it was written in, the members in the making at once and the threads that make
// them; and the bytes are the same for all of these. gzip output is BGZF, checked member
// by member against the format.
#include "reports/compressed_sink.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "compress.hpp"
#include "input/readable_formats.hpp"

namespace trelba {
namespace {

// The sink's own logic, on the two fast formats: members of 64 KiB (BGZF) and of 512 KiB.
constexpr CompressionFormat kFastFormats[] = {CompressionFormat::kGzip, CompressionFormat::kZstd};

// Threads that take the queue's pieces, as the pipeline's do.
class Helpers {
 public:
  Helpers(SideWork& side, unsigned count) : side_(side) {
    side_.SetWaker([this] {
      { const std::lock_guard lock(mutex_); }
      posted_.notify_all();
    });
    for (unsigned i = 0; i < count; ++i) {
      threads_.emplace_back([this] {
        std::unique_lock lock(mutex_);
        for (;;) {
          posted_.wait(lock, [&] { return stop_ || side_.Pending(); });
          if (stop_) return;
          lock.unlock();
          side_.RunOne();
          lock.lock();
        }
      });
    }
  }
  ~Helpers() {
    side_.SetWaker(nullptr);
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    posted_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

 private:
  SideWork& side_;
  std::mutex mutex_;
  std::condition_variable posted_;
  bool stop_ = false;
  std::vector<std::thread> threads_;
};

// Fails every write from its `fail_at`-th byte on, as a full disk does.
class DiskSink final : public ByteSink {
 public:
  explicit DiskSink(std::size_t fail_at = SIZE_MAX) : fail_at_(fail_at) {}
  bool Write(const char* data, std::size_t size) override {
    if (bytes.size() + size > fail_at_) return Fail({ENOSPC});
    bytes.append(data, size);
    return true;
  }
  std::string bytes;

 private:
  std::size_t fail_at_;
};

// Lines like a table's, which compress as tables do; or bytes that do not compress.
std::string Text(std::size_t size, bool random) {
  std::mt19937 draw(7);
  std::string text;
  text.reserve(size + 64);
  for (int row = 1; text.size() < size; ++row) {
    if (random) {
      text += static_cast<char>(draw());
      continue;
    }
    text += std::to_string(row) + "\tgene_" + std::to_string(draw() % 100000) + "\t" +
            std::to_string(draw() % 1000) + "\t0." + std::to_string(draw()) + "\n";
  }
  text.resize(size);
  return text;
}

struct SinkCase {
  std::string name;
  CompressionFormat format;
  std::size_t members;  // text: this many members' worth, and `extra` bytes
  std::size_t extra;
  std::size_t piece;  // written in pieces of this size (0: all at once)
  unsigned slots;
  unsigned helpers;
  bool random = false;
};

void PrintTo(const SinkCase& c, std::ostream* out) {
  *out << c.name;
}

std::string Written(const SinkCase& c, const std::string& text, unsigned slots, unsigned helpers,
                    std::size_t piece) {
  DiskSink disk;
  SideWork side;
  {
    const Helpers threads(side, helpers);
    CompressedSink sink(disk, c.format, slots, &side);
    const std::size_t step = piece == 0 ? text.size() + 1 : piece;
    for (std::size_t at = 0; at < text.size(); at += step) {
      EXPECT_TRUE(sink.Write(text.data() + at, std::min(step, text.size() - at)));
    }
    EXPECT_TRUE(sink.Finish());
  }
  return disk.bytes;
}

class Compressed : public testing::TestWithParam<SinkCase> {};

TEST_P(Compressed, ReadsBackAsTheTextWithTheSameBytesEverywhere) {
  const SinkCase& c = GetParam();
  const std::size_t member = LayoutOf(c.format).text;
  const std::string text = Text(c.members * member + c.extra, c.random);
  const std::string bytes = Written(c, text, c.slots, c.helpers, c.piece);
  const auto back = test::Decompress(c.format, bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == text) << back->size() << " bytes back of " << text.size();
  // Members cut where the text says, never where the writes or the threads fell.
  EXPECT_TRUE(bytes == Written(c, text, 1, 0, 0));
  if (c.format == CompressionFormat::kGzip) {
    const auto sizes = test::BgzfMemberSizes(bytes);
    ASSERT_TRUE(sizes.has_value());
    // A member for every 65,280 bytes of text begun, and the empty member at the end.
    EXPECT_EQ(sizes->size(), (text.size() + member - 1) / member + (text.empty() ? 2 : 1));
    EXPECT_EQ(sizes->back(), 28u);
  }
}

std::vector<SinkCase> SinkCases() {
  std::vector<SinkCase> cases;
  for (const CompressionFormat format : ReadableFormats()) {
    const std::string name = CompressionName(format);
    cases.push_back({name + "_Empty", format, 0, 0, 0, 1, 0});
    cases.push_back({name + "_OneByte", format, 0, 1, 0, 3, 2});
    cases.push_back({name + "_ExactlyOneMember", format, 1, 0, 4096, 3, 2});
    cases.push_back({name + "_ByteByByteAcrossAMember", format, 1, 1, 1, 2, 1});
    cases.push_back({name + "_SeveralMembersOneSlot", format, 2, 777, 65536, 1, 0});
    cases.push_back({name + "_SeveralMembersThreeHelpers", format, 3, 777, 100000, 3, 3});
    cases.push_back({name + "_SlotsNoHelper", format, 2, 1, 65536, 4, 0});
  }
  // Text that deflate cannot shrink: stored, still at most 64 KiB a member.
  cases.push_back({"gzip_Incompressible", CompressionFormat::kGzip, 3, 5, 0, 3, 2, true});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Formats, Compressed, testing::ValuesIn(SinkCases()),
                         [](const auto& test) { return test.param.name; });

// A file that can drop what was written after a point, as a report file can.
class CuttableSink final : public ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    return true;
  }
  bool CanTruncate() const override { return true; }
  bool Truncate(std::uint64_t size) override {
    bytes.resize(size);
    return true;
  }
  std::string bytes;
};

// A table's rows of one input are a part of their own: cut back when the input fails (with
// members of it written, compressed or in the making), the text goes on as if the part had
// never been, and the bytes are those of a run without it.
TEST(CompressedSink, PartCutBackLeavesTheBytesOfARunWithoutIt) {
  for (const CompressionFormat format : kFastFormats) {
    SCOPED_TRACE(CompressionName(format));
    const std::size_t member = LayoutOf(format).text;
    const std::string header = Text(300, false);
    const std::string failed = Text(2 * member + 99, false);
    const std::string next = Text(member + 7, false);
    const auto write = [&](bool with_failed, unsigned helpers) {
      CuttableSink file;
      SideWork side;
      const Helpers threads(side, helpers);
      CompressedSink sink(file, format, helpers + 1, &side);
      sink.Write(header.data(), header.size());
      EXPECT_TRUE(sink.EndPart());
      if (with_failed) {
        sink.Write(failed.data(), failed.size());
        EXPECT_TRUE(sink.Truncate(header.size()));
      }
      sink.Write(next.data(), next.size());
      EXPECT_TRUE(sink.EndPart());
      return file.bytes;
    };
    const std::string without = write(false, 0);
    EXPECT_EQ(test::Decompress(format, without), header + next);
    for (const unsigned helpers : {0u, 2u}) {
      EXPECT_TRUE(write(true, helpers) == without) << helpers << " helpers";
    }
    // Only back to where the part began: elsewhere the sink fails.
    CuttableSink file;
    CompressedSink sink(file, format, 1, nullptr);
    sink.Write(header.data(), header.size());
    sink.EndPart();
    EXPECT_FALSE(sink.Truncate(header.size() - 1));
    EXPECT_EQ(sink.error().code, EINVAL);
  }
}

// A full disk while threads compress: the cause is kept, nothing more is written after it,
// and the sink ends with no thread still holding one of its members.
TEST(CompressedSink, FullDiskWhileThreadsCompress) {
  for (const CompressionFormat format : kFastFormats) {
    SCOPED_TRACE(CompressionName(format));
    const std::string text = Text(4 * LayoutOf(format).text, false);
    DiskSink disk(1000);
    SideWork side;
    const Helpers threads(side, 3);
    CompressedSink sink(disk, format, 3, &side);
    sink.Write(text.data(), text.size());
    EXPECT_FALSE(sink.Finish());
    EXPECT_EQ(sink.error().code, ENOSPC);
    EXPECT_LE(disk.bytes.size(), 1000u);
  }
}

// Destroyed with members still waiting (a run that failed elsewhere): the threads let go.
TEST(CompressedSink, DroppedUnfinishedWhileThreadsCompress) {
  DiskSink disk;
  SideWork side;
  const Helpers threads(side, 2);
  for (int round = 0; round < 20; ++round) {
    CompressedSink sink(disk, CompressionFormat::kGzip, 4, &side);
    const std::string text = Text(5 * LayoutOf(CompressionFormat::kGzip).text, false);
    sink.Write(text.data(), text.size());
  }
  EXPECT_FALSE(side.Pending());
}

}  // namespace
}  // namespace trelba
