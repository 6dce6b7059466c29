// libFuzzer target: arbitrary command lines (the bytes cut at NUL into arguments) through
// the option parser and the checks of the inputs. Besides what the sanitizers catch, a
// command line the parser takes must name a genetic code and something to read, and
// parsing it again must give the same result.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/options.hpp"

namespace {

constexpr std::size_t kMaxArguments = 64;

void Check(bool ok) {
  if (!ok) std::abort();
}

trelba::CommandLine Parse(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv = {"Trelba"};
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  return trelba::ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size && arguments.size() <= kMaxArguments; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  trelba::CommandLine first = Parse(arguments);
  const trelba::CommandLine second = Parse(arguments);
  Check(first.error == second.error);
  if (!first.error.empty() || first.options.action != trelba::Options::Action::kRun) return 0;
  trelba::Options& options = first.options;
  Check(options.code != nullptr);
  Check(!options.inputs.empty() || options.infile_list.has_value());
  Check(options.inputs == second.options.inputs && options.table == second.options.table);
  if (!options.infile_list) {
    const std::string problem = trelba::CheckInputs(options);
    Check(problem == trelba::CheckInputs(options));
  }
  return 0;
}
