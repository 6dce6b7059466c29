#!/usr/bin/env bash
# Fails, naming the files, when a C++ file of the tree is off the project's .clang-format
# (the generated tables of the logarithm and the exponential, and the panel of the translation
# machinery, are left as their generators write them).
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.hpp' | grep -v -e 'natural_log_tables' -e 'exponential_tables' -e 'machinery_panel_data')
clang-format --dry-run --Werror "${files[@]}"
echo "clang-format: ${#files[@]} files formatted as .clang-format says"
