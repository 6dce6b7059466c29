#!/usr/bin/env bash
# Builds Trelba.exe for 64-bit Windows with Debian's mingw-w64 into a folder (default
# build-windows), warnings as errors, then runs it once under wine on the shipped example
# as a check that it starts and writes its three reports.
#
#   tests/platforms/build-windows.sh [FOLDER]
#
# Needs g++-mingw-w64-x86-64-posix and libz-mingw-w64-dev (and wine64 for the check; it
# is skipped without wine). The Windows build reads plain and gzip input only.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir=${1:-build-windows}

cmake -S "$source_dir" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -DTRELBA_BUILD_TESTS=OFF -DTRELBA_BUILD_BENCH=OFF -DTRELBA_WERROR=ON
cmake --build "$build_dir" -j2 --target Trelba

wine=$(command -v wine64 || true)
[ -n "$wine" ] || [ ! -x /usr/lib/wine/wine64 ] || wine=/usr/lib/wine/wine64
[ -n "$wine" ] || wine=$(command -v wine || true)
if [ -z "$wine" ]; then
  echo "wine not found: $build_dir/Trelba.exe built, not run"
  exit 0
fi
# A prefix of its own in /tmp (created on first use, about 20 s), and wine's quiet.
export WINEPREFIX=${WINEPREFIX:-/tmp/trelba-wine}
export WINEDEBUG=${WINEDEBUG:--all}
exe=$(realpath "$build_dir/Trelba.exe")
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
cp "$source_dir/examples/Ecoli_HighlyExpressedGenes.fa" "$check/"
(cd "$check" && "$wine" "$exe" Ecoli_HighlyExpressedGenes.fa)
for suffix in freq iik ok; do
  [ -s "$check/Ecoli_HighlyExpressedGenes.fa.$suffix" ] || {
    echo "no .$suffix report written under wine" >&2
    exit 1
  }
done
echo "$build_dir/Trelba.exe runs under wine ($wine)"
