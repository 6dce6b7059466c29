// The fields of a record kept in a SpillStore: numbers as their bytes, texts as a 32-bit
// length and the bytes (at most kMaxIdBytes), read back at an offset that moves past them.
// The annotated readers keep their features this way.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "input/input_survey.hpp"
#include "input/spill_store.hpp"

namespace trelba {

template <class T>
void PutField(std::string& to, T value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  to.append(bytes, sizeof value);
}

inline void PutTextField(std::string& to, std::string_view text) {
  text = text.substr(0, kMaxIdBytes);
  PutField(to, static_cast<std::uint32_t>(text.size()));
  to.append(text);
}

template <class T>
bool GetField(SpillStore& store, std::uint64_t& offset, T& value) {
  char bytes[sizeof value];
  if (!store.Read(offset, bytes, sizeof value)) return false;
  std::memcpy(&value, bytes, sizeof value);
  offset += sizeof value;
  return true;
}

inline bool GetTextField(SpillStore& store, std::uint64_t& offset, std::string& text) {
  std::uint32_t size = 0;
  if (!GetField(store, offset, size) || size > kMaxIdBytes) return false;
  text.resize(size);
  if (!store.Read(offset, text.data(), size)) return false;
  offset += size;
  return true;
}

}  // namespace trelba
