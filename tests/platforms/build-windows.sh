#!/usr/bin/env bash
# Builds Trelba.exe for 64-bit Windows with Debian's mingw-w64 into a folder (default
# build-windows), warnings as errors, then checks it under wine where wine is installed
# (tests/platforms/check-windows.sh).
#
#   tests/platforms/build-windows.sh [FOLDER]
#
# Needs g++-mingw-w64-x86-64-posix and libz-mingw-w64-dev (and wine64 for the checks).
# The Windows build reads plain and gzip input only.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-build-windows}

cmake -S "$source_dir" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -DTRELBA_BUILD_TESTS=OFF -DTRELBA_BUILD_BENCH=OFF -DTRELBA_WERROR=ON
cmake --build "$build_dir" -j2 --target Trelba

if ! command -v wine64 >/dev/null && ! command -v wine >/dev/null && [ ! -x /usr/lib/wine/wine64 ]
then
  echo "wine not found: $build_dir/Trelba.exe built, not run"
  exit 0
fi
# Wine's first start in a new prefix takes about 20 s.
"$source_dir/tests/platforms/check-windows.sh" "$build_dir/Trelba.exe"
