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
  kError,      // corrupt data or a bad check value
};

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
      : state_(after_member ? State::kBetweenMembers : State::kInMember) {
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
        if (!inflater_.Start()) return Failed(step);
        state_ = State::kInMember;
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
      if (result == InflateResult::kError) return Failed(step);
      if (result == InflateResult::kMemberEnd) {
        state_ = State::kBetweenMembers;
        continue;
      }
      if (step.produced == out_size) return step;
      if (used == 0 && made == 0) {
        // The inflater wants more input: none comes after the last block.
        if (last && step.consumed == in_size) return Failed(step);
        return step;
      }
    }
  }

 private:
  enum class State { kInMember, kBetweenMembers, kPadding };

  static DecodeStep Padding(const unsigned char* in, std::size_t in_size, bool last,
                            DecodeStep step) {
    if (std::any_of(in + step.consumed, in + in_size, [](unsigned char b) { return b != 0; })) {
      return Failed(step);
    }
    step.consumed = in_size;
    step.status = last ? DecodeStatus::kEnd : DecodeStatus::kMore;
    return step;
  }

  Inflater inflater_;
  bool started_ = false;
  State state_;
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
      if (result == InflateResult::kError) return false;
      if (result == InflateResult::kMemberEnd) return in_left == 0;
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
