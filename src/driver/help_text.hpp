// What the program prints about itself: the usage lines and the --help text.
#pragma once

#include <string_view>

namespace trelba {

// Printed on standard output when no file name is given.
extern const std::string_view kMissingParameterText;

// The --help text.
extern const std::string_view kHelpText;

}  // namespace trelba
