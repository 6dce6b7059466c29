// The member rules of gzip input, shared by both inflaters (zlib's, ISA-L's): every member
// of a multi-member file (bgzip output, concatenated .gz files) in turn; zero bytes after
// the last member, as tape archives pad files, accepted up to the end of the file, as gzip
// accepts them; anything else after a member must be another member.
#pragma once

#include <algorithm>
#include <cstddef>

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
  GzipMembers() { started_ = inflater_.Start(); }

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
  State state_ = State::kInMember;
};

}  // namespace trelba
