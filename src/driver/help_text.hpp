// What the program prints about itself: the usage lines and the --help text.
#pragma once

#include <string>
#include <string_view>

namespace trelba {

// Printed on standard output when no file name is given.
extern const std::string_view kMissingParameterText;

// Printed on standard error after "Trelba: <what is wrong>" for a bad command line.
extern const std::string_view kUsageErrorText;

// The --help text, its options from the option table.
const std::string& HelpText();

}  // namespace trelba
