// Each decoder fed its input in awkward pieces and given little room for text: the text
// must come out whole and unchanged, however the blocks fall across headers, stream ends
// and check values. The end-to-end tests read in large blocks and never see this.
#include "input/decoder.hpp"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "compress.hpp"

namespace trelba {
namespace {

struct Outcome {
  bool ended = false;  // kEnd with every input byte used
  bool failed = false;
  const char* error = nullptr;  // why it failed
  std::string text;
};

// Drives `decoder` as InputFile does, but hands it `data` `in_piece` bytes at a time and
// at most `out_room` bytes of room for text.
Outcome DecodeInPieces(Decoder& decoder, const std::string& data, std::size_t in_piece,
                       std::size_t out_room) {
  Outcome outcome;
  std::string pending;
  std::size_t fed = 0;
  std::vector<unsigned char> out(out_room);
  for (;;) {
    if (pending.empty() && fed < data.size()) {
      pending = data.substr(fed, in_piece);
      fed += pending.size();
    }
    const bool last = fed == data.size();
    const DecodeStep step = decoder.Decode(reinterpret_cast<const unsigned char*>(pending.data()),
                                           pending.size(), last, out.data(), out.size());
    EXPECT_LE(step.consumed, pending.size());
    EXPECT_LE(step.produced, out.size());
    outcome.text.append(reinterpret_cast<const char*>(out.data()), step.produced);
    pending.erase(0, step.consumed);
    if (step.status == DecodeStatus::kError) {
      outcome.failed = true;
      outcome.error = step.error;
      return outcome;
    }
    if (step.status == DecodeStatus::kEnd) {
      outcome.ended = pending.empty();
      return outcome;
    }
    if (step.consumed == 0 && step.produced == 0) {
      if (last) return outcome;  // stuck: neither ended nor failed
      const std::string more = data.substr(fed, in_piece);
      fed += more.size();
      pending += more;
    }
  }
}

struct Feeding {
  const char* name;
  std::size_t in_piece;
  std::size_t out_room;
};

void PrintTo(const Feeding& feeding, std::ostream* out) {
  *out << feeding.name;
}

constexpr Feeding kFeedings[] = {
    {"ByteByByte", 1, 1},
    {"OddPieces", 7, 13},
    {"SmallInputLargeOutput", 3, 1 << 16},
    {"WholeInputTinyOutput", std::size_t(-1), 5},
};

constexpr CompressionFormat kFormats[] = {CompressionFormat::kGzip, CompressionFormat::kXz,
                                          CompressionFormat::kBzip2, CompressionFormat::kZstd};

using Case = std::tuple<CompressionFormat, Feeding>;

class DecoderInPieces : public ::testing::TestWithParam<Case> {};

const std::string& Text() {
  static const std::string text = test::ManyGenes(40'000);
  return text;
}

TEST_P(DecoderInPieces, OneStreamComesOutWhole) {
  const auto& [format, feeding] = GetParam();
  const auto decoder = MakeDecoder(format);
  ASSERT_NE(decoder, nullptr);
  const Outcome outcome =
      DecodeInPieces(*decoder, test::Compress(format, Text()), feeding.in_piece, feeding.out_room);
  EXPECT_TRUE(outcome.ended);
  EXPECT_FALSE(outcome.failed);
  EXPECT_TRUE(outcome.text == Text());
}

TEST_P(DecoderInPieces, EveryStreamOfSeveralComesOut) {
  const auto& [format, feeding] = GetParam();
  const auto decoder = MakeDecoder(format);
  ASSERT_NE(decoder, nullptr);
  const std::string streams =
      test::CompressInStreams(format, Text(), 9'000) + test::Compress(format, "");
  const Outcome outcome = DecodeInPieces(*decoder, streams, feeding.in_piece, feeding.out_room);
  EXPECT_TRUE(outcome.ended);
  EXPECT_TRUE(outcome.text == Text());
}

TEST_P(DecoderInPieces, ACutStreamFailsWhereverTheCutFalls) {
  const auto& [format, feeding] = GetParam();
  const std::string packed = test::Compress(format, Text());
  for (const std::size_t cut : {std::size_t{1}, std::size_t{4}, packed.size() / 3}) {
    const auto decoder = MakeDecoder(format);
    const Outcome outcome = DecodeInPieces(*decoder, packed.substr(0, packed.size() - cut),
                                           feeding.in_piece, feeding.out_room);
    EXPECT_TRUE(outcome.failed) << "cut " << cut;
  }
}

struct Damage {
  const char* name;
  std::string (*apply)(const std::string& packed);
  const char* said;  // words of the reason
};

// The bytes after the stream begin as a gzip member does, go on as none does, and end
// before a gzip header could (an inflater may wait for a whole header).
constexpr Damage kDamages[] = {
    {"Cut", [](const std::string& p) { return p.substr(0, p.size() - 4); }, "truncated"},
    {"DataAfter", [](const std::string& p) { return p + "\x1fno"; }, "data after the end of the"},
};

// Regression: the reason a decoder gives must not depend on where its blocks end (the
// bytes after a stream looked at across two of them).
TEST_P(DecoderInPieces, DamageIsToldAlikeWhereverTheBlocksFall) {
  const auto& [format, feeding] = GetParam();
  const std::string packed = test::Compress(format, Text());
  for (const Damage& damage : kDamages) {
    const std::string damaged = damage.apply(packed);
    const Outcome whole = DecodeInPieces(*MakeDecoder(format), damaged, damaged.size(), 1 << 16);
    const Outcome pieces =
        DecodeInPieces(*MakeDecoder(format), damaged, feeding.in_piece, feeding.out_room);
    ASSERT_TRUE(whole.failed && pieces.failed) << damage.name;
    ASSERT_NE(whole.error, nullptr) << damage.name;
    EXPECT_NE(std::string(whole.error).find(damage.said), std::string::npos) << whole.error;
    EXPECT_STREQ(pieces.error, whole.error) << damage.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, DecoderInPieces,
                         ::testing::Combine(::testing::ValuesIn(kFormats),
                                            ::testing::ValuesIn(kFeedings)),
                         [](const auto& param_info) {
                           return std::string(CompressionName(std::get<0>(param_info.param))) +
                                  "_" + std::get<1>(param_info.param).name;
                         });

}  // namespace
}  // namespace trelba
