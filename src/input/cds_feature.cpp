#include "input/cds_feature.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "input/input_survey.hpp"

namespace trelba {
namespace {

template <class T>
void Put(std::string& to, T value) {
  char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  to.append(bytes, sizeof value);
}

void PutText(std::string& to, const std::string& text) {
  Put(to, static_cast<std::uint32_t>(text.size()));
  to += text;
}

template <class T>
bool Get(SpillStore& store, std::uint64_t& offset, T& value) {
  char bytes[sizeof value];
  if (!store.Read(offset, bytes, sizeof value)) return false;
  std::memcpy(&value, bytes, sizeof value);
  offset += sizeof value;
  return true;
}

bool GetText(SpillStore& store, std::uint64_t& offset, std::string& text) {
  std::uint32_t size = 0;
  if (!Get(store, offset, size) || size > kMaxIdBytes) return false;
  text.resize(size);
  if (!store.Read(offset, text.data(), size)) return false;
  offset += size;
  return true;
}

void AppendBounded(std::string& to, std::string_view text) {
  to.append(text.substr(0, kMaxIdBytes - std::min(to.size(), kMaxIdBytes)));
}

// " [name=value]" (without the space first).
void AppendField(std::string& to, std::string_view name, std::string_view value) {
  if (value.empty()) return;
  if (!to.empty()) AppendBounded(to, " ");
  AppendBounded(to, "[");
  AppendBounded(to, name);
  AppendBounded(to, "=");
  AppendBounded(to, value);
  AppendBounded(to, "]");
}

}  // namespace

void NameFeature(const FeatureNames& names, const std::string& fallback, CdsFeature& feature) {
  const std::string& id = !names.locus_tag.empty()    ? names.locus_tag
                          : !names.gene.empty()       ? names.gene
                          : !names.protein_id.empty() ? names.protein_id
                                                      : fallback;
  feature.id.clear();
  AppendBounded(feature.id, id);
  feature.description.clear();
  AppendField(feature.description, "gene", names.gene);
  AppendField(feature.description, "protein", names.product);
}

bool KeepFeature(SpillStore& store, const CdsFeature& feature, std::string& scratch) {
  scratch.clear();
  Put(scratch, feature.line);
  Put(scratch, static_cast<std::uint32_t>(feature.parts.size()));
  for (const LocationPart& part : feature.parts) {
    Put(scratch, part.start);
    Put(scratch, part.end);
    Put(scratch, static_cast<std::uint8_t>(part.minus));
  }
  Put(scratch, feature.skip);
  Put(scratch, feature.transl_table);
  PutText(scratch, feature.id);
  PutText(scratch, feature.description);
  return store.Append(scratch.data(), scratch.size());
}

bool TakeFeature(SpillStore& store, std::uint64_t& offset, CdsFeature& feature) {
  std::uint32_t count = 0;
  if (!Get(store, offset, feature.line) || !Get(store, offset, count) ||
      count > kMaxLocationParts) {
    return false;
  }
  feature.parts.resize(count);
  for (LocationPart& part : feature.parts) {
    std::uint8_t minus = 0;
    if (!Get(store, offset, part.start) || !Get(store, offset, part.end) ||
        !Get(store, offset, minus)) {
      return false;
    }
    part.minus = minus != 0;
  }
  return Get(store, offset, feature.skip) && Get(store, offset, feature.transl_table) &&
         GetText(store, offset, feature.id) && GetText(store, offset, feature.description);
}

}  // namespace trelba
