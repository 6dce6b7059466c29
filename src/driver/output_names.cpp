#include "driver/output_names.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <system_error>
#include <tuple>
#include <unordered_map>

#include "driver/error_message.hpp"
#include "reports/report_set.hpp"
#include "reports/stream_output.hpp"

namespace trelba {
namespace {

// Every file of the run gets a number: the inputs first, then each input's reports, then
// the table, the summary and the HTML report (the order they are opened in).
class RunFiles {
 public:
  RunFiles(const Options& options, std::size_t inputs)
      : options_(options),
        inputs_(inputs),
        reports_(options.no_reports ? 0 : inputs * kReportSuffixes.size()) {}

  std::size_t size() const { return inputs_ + reports_ + 3; }
  std::size_t table() const { return inputs_ + reports_; }
  std::size_t summary() const { return table() + 1; }
  bool is_input(std::size_t file) const { return file < inputs_; }

  // The file's name, or nothing when the run has no such output or it is standard output.
  std::optional<std::string> Name(std::size_t file) const {
    if (is_input(file)) return Given(options_.inputs[file]);
    if (file < table()) {
      const std::size_t r = file - inputs_;
      const std::size_t input = r / kReportSuffixes.size();
      const std::string& name = options_.inputs[input];
      const std::string_view label = name == kStandardStream ? StandardInputLabel(options_) : name;
      return ReportPrefix(options_, name, label) +
             std::string(kReportSuffixes[r % kReportSuffixes.size()]);
    }
    return Given(file == table()     ? options_.table
                 : file == summary() ? options_.summary
                                     : options_.report);
  }

  // How messages name the file: its name, or the stream.
  std::string Named(std::size_t file) const {
    if (const std::optional<std::string> name = Name(file)) return *name;
    return std::string(is_input(file) ? kStandardInputName : kStandardOutputName);
  }

  // What the file is to the run, and its name.
  std::string Shown(std::size_t file) const {
    const char* role = is_input(file)      ? "the input "
                       : file < table()    ? "the report "
                       : file == table()   ? "the table "
                       : file == summary() ? "the summary "
                                           : "the HTML report ";
    return role + PrintableName(Named(file));
  }

  bool to_standard_output(std::size_t file) const {
    const std::optional<std::string>& name = file == table()     ? options_.table
                                             : file == summary() ? options_.summary
                                                                 : std::nullopt;
    return name == kStandardStream;
  }

 private:
  static std::optional<std::string> Given(const std::optional<std::string>& name) {
    if (!name || *name == kStandardStream) return std::nullopt;
    return name;
  }

  const Options& options_;
  std::size_t inputs_;
  std::size_t reports_;
};

// The name with its folder made absolute and free of links, dots and repeated slashes;
// folders are looked up once each.
class NameKeys {
 public:
  static std::string Bytes(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
  }

  std::string Key(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path path = fs::u8path(name);
    const std::string folder = Bytes(path.parent_path());
    auto [at, added] = folders_.try_emplace(folder);
    if (added) {
      std::error_code error;
      fs::path canonical = fs::weakly_canonical(
          fs::absolute(folder.empty() ? fs::path(".") : path.parent_path()), error);
      at->second = Bytes((error ? path.parent_path() : canonical).lexically_normal());
    }
    return at->second + "/" + Bytes(path.filename());
  }

 private:
  std::unordered_map<std::string, std::string> folders_;
};

struct Found {
  std::uint64_t key_high;
  std::uint64_t key_low;
  std::size_t file;
  bool operator<(const Found& other) const {
    return std::tie(key_high, key_low, file) < std::tie(other.key_high, other.key_low, other.file);
  }
};

}  // namespace

std::string_view StandardInputLabel(const Options& options) {
  return options.label ? std::string_view(*options.label) : kStandardStream;
}

std::string ReportPrefix(const Options& options, const std::string& input, std::string_view label) {
  if (!options.output) return input;
  if (!options.output_is_folder) return *options.output;
  std::string folder = *options.output;
  if (folder.back() != '/') folder += '/';
  const std::string_view name = input == kStandardStream ? label : std::string_view(input);
  const std::size_t slash = name.find_last_of('/');
  return folder + std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::optional<std::string> FindOutputCollision(const Options& options,
                                               const std::vector<FileIdentity>& inputs) {
  const RunFiles files(options, inputs.size());
  // Keys of names (hashed; equal hashes are compared by name again) and of identities.
  std::vector<Found> names;
  std::vector<Found> identities;
  NameKeys keys;
  for (std::size_t file = 0; file < files.size(); ++file) {
    FileIdentity identity;
    if (files.is_input(file)) {
      identity = inputs[file];
    } else if (files.to_standard_output(file)) {
      identity = IdentifyStandardOutput();
    } else if (const std::optional<std::string> name = files.Name(file)) {
      // Streams (/dev/null, a terminal) may take several outputs.
      if (file >= files.table() && KindOfFile(*name) == FileKind::kStream) continue;
      identity = IdentifyFileAtName(*name);
      names.push_back({std::hash<std::string>{}(keys.Key(*name)), 0, file});
    } else {
      continue;
    }
    if (identity.known) identities.push_back({identity.device, identity.inode, file});
  }
  // The pair whose later file is opened first.
  std::optional<std::pair<std::size_t, std::size_t>> first;
  const auto consider = [&](std::vector<Found>& found, bool by_name) {
    std::sort(found.begin(), found.end());
    for (std::size_t i = 0; i + 1 < found.size(); ++i) {
      for (std::size_t j = i + 1; j < found.size() && found[j].key_high == found[i].key_high &&
                                  found[j].key_low == found[i].key_low;
           ++j) {
        const std::size_t a = found[i].file;
        const std::size_t b = found[j].file;
        if (files.is_input(a) && files.is_input(b)) continue;  // an input may be read twice
        if (by_name && keys.Key(*files.Name(a)) != keys.Key(*files.Name(b))) continue;
        if (!first || b < first->second) first = std::pair(a, b);
      }
    }
  };
  consider(names, true);
  consider(identities, false);
  if (!first) return std::nullopt;
  const auto [earlier, later] = *first;
  const std::string why = "the same file as " + files.Shown(earlier);
  return FileErrorText("opening", files.Named(later), why.c_str());
}

}  // namespace trelba
