// Every kind of warning the program gives, for the manual page's DIAGNOSTICS: each is one
// line on standard error beginning "Warning: ", and changes neither the status (but with
// --strict) nor any report.
#pragma once

#include <span>
#include <string_view>

namespace trelba {

struct WarningKind {
  std::string_view name;     // the words the line is known by
  std::string_view meaning;  // when it is given and what it means
};

// Those of an input first, in the order they are given (input/input_survey.hpp), then
// those of the command line, the background and the reference set.
std::span<const WarningKind> WarningKinds();

// How many of them are an input's.
inline constexpr std::size_t kInputWarningKinds = 10;

}  // namespace trelba
