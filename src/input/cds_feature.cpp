#include "input/cds_feature.hpp"

#include <algorithm>
#include <string_view>

#include "input/input_survey.hpp"
#include "input/spill_record.hpp"

namespace trelba {
namespace {

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
  PutField(scratch, feature.line);
  PutField(scratch, static_cast<std::uint32_t>(feature.parts.size()));
  for (const LocationPart& part : feature.parts) {
    PutField(scratch, part.start);
    PutField(scratch, part.end);
    PutField(scratch, static_cast<std::uint8_t>(part.minus));
  }
  PutField(scratch, feature.skip);
  PutField(scratch, feature.transl_table);
  PutTextField(scratch, feature.id);
  PutTextField(scratch, feature.description);
  return store.Append(scratch.data(), scratch.size());
}

bool TakeFeature(SpillStore& store, std::uint64_t& offset, CdsFeature& feature) {
  std::uint32_t count = 0;
  if (!GetField(store, offset, feature.line) || !GetField(store, offset, count) ||
      count > kMaxLocationParts) {
    return false;
  }
  feature.parts.resize(count);
  for (LocationPart& part : feature.parts) {
    std::uint8_t minus = 0;
    if (!GetField(store, offset, part.start) || !GetField(store, offset, part.end) ||
        !GetField(store, offset, minus)) {
      return false;
    }
    part.minus = minus != 0;
  }
  return GetField(store, offset, feature.skip) && GetField(store, offset, feature.transl_table) &&
         GetTextField(store, offset, feature.id) &&
         GetTextField(store, offset, feature.description);
}

}  // namespace trelba
