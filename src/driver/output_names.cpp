#include "driver/output_names.hpp"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <system_error>
#include <tuple>
#include <unordered_map>

#include "driver/error_message.hpp"
#include "reports/input_figures.hpp"
#include "reports/report_set.hpp"
#include "reports/run_figures.hpp"
#include "reports/stream_output.hpp"

namespace trelba {
namespace {

// Every file of the run gets a number: the files it reads first (the inputs, then the
// background file, the list of inputs and the reference file when they are given), then
// each input's reports, then the table, the summary, the HTML report and the codon usage
// (the order they are opened in).
class RunFiles {
 public:
  RunFiles(const Options& options, std::size_t inputs) : options_(options), inputs_(inputs) {
    const std::string& background = options.background.value_or("even");
    if (background != "even" && background != "input") {
      other_reads_.push_back({background, "the background file "});
    }
    if (options.infile_list) other_reads_.push_back({*options.infile_list, "the list of inputs "});
    if (options.reference && options.reference != kAutomaticReference) {
      other_reads_.push_back({*options.reference, "the reference file "});
    }
    reads_ = inputs_ + other_reads_.size();
    reports_ = options.no_reports ? 0 : inputs * kReportSuffixes.size();
    if (options.figures) {
      input_figures_ = InputFigureNames(options);
      run_figures_ = RunFigureNames(options);
    }
  }

  std::size_t size() const {
    return figures() + inputs_ * input_figures_.size() + run_figures_.size();
  }
  // The figure files: each input's, then those of the inputs together.
  std::size_t figures() const { return reads_ + reports_ + 4; }
  bool is_figure(std::size_t file) const { return file >= figures(); }
  bool is_input_figure(std::size_t file) const {
    return is_figure(file) && file < figures() + inputs_ * input_figures_.size();
  }
  std::size_t table() const { return reads_ + reports_; }
  std::size_t summary() const { return table() + 1; }
  std::size_t page() const { return table() + 2; }
  bool is_read(std::size_t file) const { return file < reads_; }
  bool is_input(std::size_t file) const { return file < inputs_; }
  bool is_report(std::size_t file) const { return file >= reads_ && file < table(); }
  // The input a report or a figure belongs to.
  std::size_t input_of(std::size_t file) const {
    return is_figure(file) ? (file - figures()) / input_figures_.size()
                           : (file - reads_) / kReportSuffixes.size();
  }

  // The name as given: "-" for a standard stream; nothing when the run has no such file.
  std::optional<std::string> Given(std::size_t file) const {
    if (is_input(file)) return options_.inputs[file];
    if (is_read(file)) return other_reads_[file - inputs_].name;
    if (is_report(file) || is_input_figure(file)) {
      const std::string& name = options_.inputs[input_of(file)];
      const std::string_view label = name == kStandardStream ? StandardInputLabel(options_) : name;
      if (is_report(file)) {
        return ReportPrefix(options_, name, label) +
               std::string(kReportSuffixes[(file - reads_) % kReportSuffixes.size()]);
      }
      return FigureName(FigurePrefix(options_, name, label),
                        input_figures_[(file - figures()) % input_figures_.size()]);
    }
    if (is_figure(file)) {
      return FigureName(RunFigurePrefix(options_),
                        run_figures_[file - figures() - inputs_ * input_figures_.size()]);
    }
    return file == table()     ? options_.table
           : file == summary() ? options_.summary
           : file == page()    ? options_.report
                               : options_.codon_usage;
  }

  // The file's name, or nothing when the run has no such file or it is a standard stream.
  std::optional<std::string> Name(std::size_t file) const {
    std::optional<std::string> name = Given(file);
    if (name == kStandardStream) return std::nullopt;
    return name;
  }

  // How messages name the file: its name, or the stream.
  std::string Named(std::size_t file) const {
    if (const std::optional<std::string> name = Name(file)) return *name;
    return std::string(is_read(file) ? kStandardInputName : kStandardOutputName);
  }

  // What the file is to the run, and its name.
  std::string Shown(std::size_t file) const {
    const char* role = is_input(file)      ? "the input "
                       : is_read(file)     ? other_reads_[file - inputs_].role
                       : is_report(file)   ? "the report "
                       : is_figure(file)   ? "the figure "
                       : file == table()   ? "the table "
                       : file == summary() ? "the summary "
                       : file == page()    ? "the HTML report "
                                           : "the codon usage ";
    return role + PrintableName(Named(file));
  }

  // The descriptor an output writes to when it goes to a standard stream or a name that
  // stands for one (/dev/stdout, /dev/fd/N); -1 otherwise.
  int Descriptor(std::size_t file) const {
    if (is_read(file) || is_report(file) || is_figure(file)) return -1;
    const std::optional<std::string> given = Given(file);
    if (!given) return -1;
    if (*given == kStandardStream) return kStandardOutputDescriptor;
    return DescriptorOfName(*given);
  }

  // Why a later file cannot be opened, for the error line that names it.
  std::string Clash(std::size_t earlier, std::size_t later) const {
    const bool reports = is_report(earlier) && is_report(later);
    const bool figures = is_input_figure(earlier) && is_input_figure(later);
    if (!reports && !figures) return "the same file as " + Shown(earlier);
    // Two inputs would each write this report or figure.
    const std::string& a = options_.inputs[input_of(earlier)];
    const std::string& b = options_.inputs[input_of(later)];
    if (a == b) return "the input " + PrintableName(InputName(a)) + " is given twice";
    return std::string(reports ? "a report" : "a figure") + " of both the input " +
           PrintableName(InputName(a)) + " and the input " + PrintableName(InputName(b));
  }

 private:
  const Options& options_;
  std::size_t inputs_;
  struct OtherRead {
    std::string name;
    const char* role;
  };
  std::vector<OtherRead> other_reads_;
  std::size_t reads_ = 0;
  std::size_t reports_ = 0;
  std::vector<std::string_view> input_figures_;
  std::vector<std::string_view> run_figures_;
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

std::string_view InputName(std::string_view given) {
  return given == kStandardStream ? kStandardInputName : given;
}

std::string_view OutputName(std::string_view given) {
  return given == kStandardStream ? kStandardOutputName : given;
}

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

namespace {

// DIR/ of --figures DIR.
std::string FigureFolder(const Options& options) {
  std::string folder = options.figures.value_or("");
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

std::string FigurePrefix(const Options& options, const std::string& input, std::string_view label) {
  const std::string_view name = input == kStandardStream ? label : std::string_view(input);
  const std::size_t slash = name.find_last_of('/');
  return FigureFolder(options) +
         std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::string RunFigurePrefix(const Options& options) {
  return FigureFolder(options) + std::string(kRunFigurePrefix);
}

std::string FigureName(const std::string& prefix, std::string_view figure) {
  return prefix + "." + std::string(figure) + ".svg";
}

bool RunMakesCoa(const Options& options) {
  return options.coa_kind.has_value();
}

std::vector<std::string_view> InputFigureNames(const Options& options) {
  std::vector<std::string_view> names;
  for (const InputFigureEntry& entry : kInputFigures) {
    if (Drawn(entry, options.reference.has_value(), RunMakesCoa(options))) {
      names.push_back(entry.name);
    }
  }
  return names;
}

std::vector<std::string_view> RunFigureNames(const Options& options) {
  std::vector<std::string_view> names;
  for (const RunFigureEntry& entry : kRunFigures) {
    if (Drawn(entry, options.inputs.size(), RunMakesCoa(options))) names.push_back(entry.name);
  }
  return names;
}

std::optional<std::string> FindOutputCollision(const Options& options,
                                               const std::vector<FileIdentity>& inputs) {
  const RunFiles files(options, inputs.size());
  // Keys of names (hashed; equal hashes are compared by name again), of identities and of
  // the descriptors outputs write to.
  std::vector<Found> names;
  std::vector<Found> identities;
  std::vector<Found> descriptors;
  NameKeys keys;
  for (std::size_t file = 0; file < files.size(); ++file) {
    FileIdentity identity;
    const std::optional<std::string> name = files.Name(file);
    if (const int fd = files.Descriptor(file); fd >= 0) {
      descriptors.push_back({static_cast<std::uint64_t>(fd), 0, file});
      identity = IdentifyDescriptorFile(fd);
    } else if (files.is_input(file)) {
      identity = inputs[file];
    } else if (files.is_read(file)) {
      identity = name ? IdentifyFile(*name) : IdentifyStandardInput();
      if (name) names.push_back({std::hash<std::string>{}(keys.Key(*name)), 0, file});
    } else if (name) {
      // Streams (/dev/null, a terminal) may take several outputs.
      if (!files.is_report(file) && !files.is_figure(file) &&
          KindOfFile(*name) == FileKind::kStream) {
        continue;
      }
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
        if (files.is_read(a) && files.is_read(b)) continue;  // a file may be read twice
        if (by_name && keys.Key(*files.Name(a)) != keys.Key(*files.Name(b))) continue;
        if (!first || b < first->second) first = std::pair(a, b);
      }
    }
  };
  consider(names, true);
  consider(identities, false);
  consider(descriptors, false);
  if (!first) return std::nullopt;
  const auto [earlier, later] = *first;
  return FileErrorText("opening", files.Named(later), files.Clash(earlier, later).c_str());
}

}  // namespace trelba
