// What the program prints about itself: the usage lines and the --help text.
#pragma once

#include <string_view>

namespace trelba {

// Printed on standard output when no file name is given.
extern const std::string_view kMissingParameterText;

// Printed on standard error after "Trelba: <what is wrong>" for a bad command line.
extern const std::string_view kUsageErrorText;

// The --help text.
extern const std::string_view kHelpText;

}  // namespace trelba
