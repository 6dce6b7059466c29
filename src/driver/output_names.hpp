// The names of a run's outputs, and the check, before anything is read, that no two of
// them and no output and input are one file: by name (the same base name in the same
// folder, however the folder is spelt) and by identity (one file under two names, through
// links or hard links). Standard output, when an output goes there, is checked the same.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/options.hpp"
#include "reports/report_file.hpp"

namespace trelba {

// The endings of each input's reports, in the order they are opened.
inline constexpr std::array<std::string_view, 3> kReportSuffixes = {".iik", ".ok", ".freq"};

// Where the reports of `input` go: beside it, under the -o prefix, or in the -o folder
// (standard input by its `label` there).
std::string ReportPrefix(const Options& options, const std::string& input, std::string_view label);

// Where the figure files of `input` go (--figures DIR): DIR/NAME, NAME its base name (standard
// input's its label); those of the inputs together: DIR/inputs. A figure's file is
// PREFIX.FIGURE.svg.
std::string FigurePrefix(const Options& options, const std::string& input, std::string_view label);
std::string RunFigurePrefix(const Options& options);
std::string FigureName(const std::string& prefix, std::string_view figure);
// Whether the run makes a correspondence analysis of each input.
bool RunMakesCoa(const Options& options);
// The figures a run draws of each input, and of the inputs together, by their names.
std::vector<std::string_view> InputFigureNames(const Options& options);
std::vector<std::string_view> RunFigureNames(const Options& options);

// How messages name an input and an output: as given, or the standard stream.
std::string_view InputName(std::string_view given);
std::string_view OutputName(std::string_view given);

// The label standard input is given in tables and report names.
std::string_view StandardInputLabel(const Options& options);

// The error line naming both files when two outputs, or an output and an input, are one
// file; `inputs` holds the inputs' identities, in order.
std::optional<std::string> FindOutputCollision(const Options& options,
                                               const std::vector<FileIdentity>& inputs);

}  // namespace trelba
