// Shell completion of the command line, written from the option table: every option's
// names, and what its value completes to (file names, or the words the code takes:
// variant and NCBI table numbers, the backgrounds, "auto"). The generated blocks of
// completion/Trelba.bash (bash) and completion/_Trelba (zsh).
#pragma once

#include <string>

namespace trelba {

std::string BashCompletion();
std::string ZshCompletion();

}  // namespace trelba
