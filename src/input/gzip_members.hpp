// The member rules of gzip input, shared by both inflaters (zlib's, ISA-L's): every member
// of a multi-member file (bgzip output, concatenated .gz files) in turn; zero bytes after
// the last member, as tape archives pad files, accepted up to the end of the file, as gzip
// accepts them; anything else after a member must be another member.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>

#include "input/decoder.hpp"

namespace trelba {

// What one call of an inflater did.
enum class InflateResult {
  kProgress,   // made what progress the buffers allowed
  kMemberEnd,  // the member ended, its check value and length verified
  kNotGzip,    // the bytes do not begin a gzip member (its magic number is wrong)
  kBadCheck,   // a check value (the text's CRC-32 or length, the header's CRC) does not match
  kCorrupt,    // anything else: a bad header, corrupt deflate data
  kNoMemory,
};

// Why gzip input fails, for the error line.
inline constexpr const char* kTruncatedGzip = "truncated gzip member";
inline constexpr const char* kGzipCheckMismatch = "gzip checksum mismatch";
inline constexpr const char* kDataAfterGzip = "data after the end of the gzip stream";
inline constexpr const char* kCorruptGzip = "corrupt gzip data";

// `Inflater` provides:
//   bool Start();  // ready for a new member; false when the library cannot start
//   InflateResult Inflate(const unsigned char* in, std::size_t& in_size, unsigned char* out,
//                         std::size_t& out_size);  // sizes in: room; out: what is left
template <class Inflater>
class GzipMembers final : public Decoder {
 public:
  // `after_member`: the input begins where a member has ended (zero padding may follow),
  // as it does where the member-parallel inflate (parallel_inflate.hpp) hands a file over.
  explicit GzipMembers(bool after_member = false)
      : state_(after_member ? State::kBetweenMembers : State::kInMember),
        member_ended_(after_member) {
    started_ = inflater_.Start();
  }

  bool started() const { return started_; }

  DecodeStep Decode(const unsigned char* in, std::size_t in_size, bool last, unsigned char* out,
                    std::size_t out_size) override {
    DecodeStep step;
    for (;;) {
      if (state_ == State::kPadding) return Padding(in, in_size, last, step);
      if (state_ == State::kBetweenMembers) {
        if (step.consumed == in_size) {
          step.status = last ? DecodeStatus::kEnd : DecodeStatus::kMore;
          return step;
        }
        if (in[step.consumed] == 0) {
          state_ = State::kPadding;
          continue;
        }
        if (!BeginsMember(in + step.consumed, in_size - step.consumed)) {
          return Failed(step, kDataAfterGzip);
        }
        if (!inflater_.Start()) return Failed(step, kOutOfMemory);
        state_ = State::kInMember;
      } else if (second_magic_due_ && step.consumed < in_size) {
        second_magic_due_ = false;
        if (in[step.consumed] != kGzipMagic[1]) return Failed(step, kDataAfterGzip);
      }
      const std::size_t in_room = in_size - step.consumed;
      const std::size_t out_room = out_size - step.produced;
      std::size_t in_left = in_room;
      std::size_t out_left = out_room;
      const InflateResult result =
          inflater_.Inflate(in + step.consumed, in_left, out + step.produced, out_left);
      const std::size_t used = in_room - in_left;
      const std::size_t made = out_room - out_left;
      step.consumed += used;
      step.produced += made;
      if (result == InflateResult::kMemberEnd) {
        state_ = State::kBetweenMembers;
        member_ended_ = true;
        continue;
      }
      if (result != InflateResult::kProgress) return Failed(step, Reason(result));
      if (step.produced == out_size) return step;
      if (used == 0 && made == 0) {
        // The inflater wants more input: none comes after the last block.
        if (last && step.consumed == in_size) return Failed(step, kTruncatedGzip);
        return step;
      }
    }
  }

 private:
  enum class State { kInMember, kBetweenMembers, kPadding };

  static constexpr unsigned char kGzipMagic[] = {0x1f, 0x8b};  // how every member begins

  // Whether bytes after a member (`size` of them, at least one) begin another: its magic
  // number, told here rather than by the inflater, which may wait for a whole header first.
  // A second byte still to come is checked as it comes.
  bool BeginsMember(const unsigned char* at, std::size_t size) {
    if (at[0] != kGzipMagic[0]) return false;
    if (size > 1) return at[1] == kGzipMagic[1];
    second_magic_due_ = true;
    return true;
  }

  // Why the inflater failed: bytes that begin no member after one has ended are not
  // damage to a member but data after the stream.
  const char* Reason(InflateResult result) const {
    switch (result) {
      case InflateResult::kNotGzip:
        return member_ended_ ? kDataAfterGzip : kCorruptGzip;
      case InflateResult::kBadCheck:
        return kGzipCheckMismatch;
      case InflateResult::kNoMemory:
        return kOutOfMemory;
      default:
        return kCorruptGzip;
    }
  }

  static DecodeStep Padding(const unsigned char* in, std::size_t in_size, bool last,
                            DecodeStep step) {
    if (std::any_of(in + step.consumed, in + in_size, [](unsigned char b) { return b != 0; })) {
      return Failed(step, kDataAfterGzip);
    }
    step.consumed = in_size;
    step.status = last ? DecodeStatus::kEnd : DecodeStatus::kMore;
    return step;
  }

  Inflater inflater_;
  bool started_ = false;
  State state_;
  bool member_ended_;              // a whole member has been read
  bool second_magic_due_ = false;  // the member's second byte is yet to be checked
};

// Inflates whole members, one at a time, for the member-parallel inflate.
class MemberInflater {
 public:
  virtual ~MemberInflater() = default;
  // Inflates `in`, which must be exactly one gzip member, into `out`: true, with its text
  // in out[0, produced), when it is one whole member, its check values right and its text
  // no longer than `out_size`; false for anything else (damage, a member that ends before
  // `in` does or goes on after it, text that does not fit).
  virtual bool InflateWhole(const unsigned char* in, std::size_t in_size, unsigned char* out,
                            std::size_t out_size, std::size_t& produced) = 0;
};

template <class Inflater>
class WholeMembers final : public MemberInflater {
 public:
  bool InflateWhole(const unsigned char* in, std::size_t in_size, unsigned char* out,
                    std::size_t out_size, std::size_t& produced) override {
    produced = 0;
    if (!inflater_.Start()) return false;
    std::size_t in_left = in_size;
    std::size_t out_left = out_size;
    for (;;) {
      const std::size_t in_before = in_left;
      const std::size_t out_before = out_left;
      const InflateResult result = inflater_.Inflate(in + (in_size - in_left), in_left,
                                                     out + (out_size - out_left), out_left);
      produced = out_size - out_left;
      if (result == InflateResult::kMemberEnd) return in_left == 0;
      if (result != InflateResult::kProgress) return false;
      if (in_left == in_before && out_left == out_before) return false;  // cut, or too long
    }
  }

 private:
  Inflater inflater_;
};

// Built beside MakeGzipDecoder by the same inflater's file: a gzip decoder whose input
// begins after a member, and the whole-member inflater. Null when the library cannot start.
std::unique_ptr<Decoder> MakeGzipDecoderAfterMember();
std::unique_ptr<MemberInflater> MakeMemberInflater();

}  // namespace trelba
