// InputFile on an already open descriptor: a pipe, as standard input is, which cannot
// seek and hands data over in pieces of whatever size the writer wrote.
#include "input/input_file.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "compress.hpp"

namespace trelba {
namespace {

// A pipe whose write end a thread fills with `bytes`, `piece` bytes per write, then
// closes; the read end is left to the test.
class FilledPipe {
 public:
  FilledPipe(std::string bytes, std::size_t piece) : bytes_(std::move(bytes)) {
    ::signal(SIGPIPE, SIG_IGN);  // a reader that stops early must not kill the tests
    int ends[2];
    if (::pipe(ends) != 0) std::abort();
    read_end_ = ends[0];
    writer_ = std::thread([this, piece, write_end = ends[1]] {
      for (std::size_t at = 0; at < bytes_.size();) {
        const ssize_t n =
            ::write(write_end, bytes_.data() + at, std::min(piece, bytes_.size() - at));
        if (n <= 0) break;  // the reader went away
        at += static_cast<std::size_t>(n);
      }
      ::close(write_end);
    });
  }
  ~FilledPipe() {
    ::close(read_end_);  // a writer still blocked then gets EPIPE and stops
    writer_.join();
  }
  FilledPipe(const FilledPipe&) = delete;
  FilledPipe& operator=(const FilledPipe&) = delete;

  int read_end() const { return read_end_; }

 private:
  std::string bytes_;
  int read_end_ = -1;
  std::thread writer_;
};

struct ReadAll {
  bool failed = false;
  std::string text;
};

ReadAll ReadToEnd(InputFile& input) {
  ReadAll all;
  std::vector<char> block(100'000);
  for (;;) {
    const std::ptrdiff_t n = input.Read(block.data(), block.size());
    if (n < 0) {
      all.failed = true;
      return all;
    }
    if (n == 0) return all;
    all.text.append(block.data(), static_cast<std::size_t>(n));
  }
}

struct PipeCase {
  CompressionFormat format;
  std::size_t piece;
};

void PrintTo(const PipeCase& c, std::ostream* out) {
  *out << CompressionName(c.format) << " in writes of " << c.piece;
}

class InputFromPipe : public ::testing::TestWithParam<PipeCase> {};

const std::string& Text() {
  static const std::string text = test::ManyGenes(600'000);
  return text;
}

TEST_P(InputFromPipe, ReadsTheWholeText) {
  FilledPipe pipe(test::Compress(GetParam().format, Text()), GetParam().piece);
  InputFile input;
  ASSERT_TRUE(input.OpenDescriptor(pipe.read_end()));
  EXPECT_EQ(input.refusal(), nullptr);
  const ReadAll all = ReadToEnd(input);
  EXPECT_FALSE(all.failed);
  EXPECT_TRUE(all.text == Text());
}

INSTANTIATE_TEST_SUITE_P(Table, InputFromPipe,
                         ::testing::Values(PipeCase{CompressionFormat::kNone, 1},
                                           PipeCase{CompressionFormat::kNone, 1000},
                                           PipeCase{CompressionFormat::kGzip, 5},
                                           PipeCase{CompressionFormat::kXz, 5},
                                           PipeCase{CompressionFormat::kBzip2, 1000},
                                           PipeCase{CompressionFormat::kZstd, 5}),
                         [](const auto& param_info) {
                           return std::string(CompressionName(param_info.param.format)) +
                                  "_Writes" + std::to_string(param_info.param.piece);
                         });

TEST(PipeInput, ACutStreamIsAReadError) {
  for (const CompressionFormat format : {CompressionFormat::kGzip, CompressionFormat::kXz,
                                         CompressionFormat::kBzip2, CompressionFormat::kZstd}) {
    const std::string packed = test::Compress(format, Text());
    FilledPipe pipe(packed.substr(0, packed.size() - 3), 5);
    InputFile input;
    ASSERT_TRUE(input.OpenDescriptor(pipe.read_end()));
    EXPECT_TRUE(ReadToEnd(input).failed) << CompressionName(format);
  }
}

// The mark and the first few characters may come in separate writes: still refused.
TEST(PipeInput, Utf16InSmallWritesIsRefused) {
  FilledPipe pipe(test::Widen(Text().substr(0, 20'000), 2, true, false), 3);
  InputFile input;
  ASSERT_TRUE(input.OpenDescriptor(pipe.read_end()));
  ASSERT_NE(input.refusal(), nullptr);
  EXPECT_STREQ(input.refusal(), "UTF-16 text; convert it to ASCII or UTF-8 first");
  EXPECT_EQ(input.Read(std::vector<char>(10).data(), 10), -1);
}

TEST(PipeInput, TheDescriptorStaysOpen) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::close(ends[1]);
  {
    InputFile input;
    ASSERT_TRUE(input.OpenDescriptor(ends[0]));
  }
  EXPECT_EQ(::close(ends[0]), 0);  // still ours to close
}

}  // namespace
}  // namespace trelba
