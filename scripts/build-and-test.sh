#!/usr/bin/env bash
# On Debian 12: installs what the program and its tests need, builds both in build/ and
# runs the whole test suite. Extra arguments go to CMake's configure step (CI adds
# -DTRELBA_WERROR=ON -DTRELBA_BUILD_BENCH=ON).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-missing.sh g++ cmake zlib1g-dev liblzma-dev libbz2-dev libzstd-dev libisal-dev \
  libmpfr-dev googletest libgtest-dev python3 python3-biopython python3-mpmath python3-numpy \
  groff-base codonw
cmake -S . -B build -DTRELBA_BUILD_TESTS=ON -DTRELBA_BUILD_BENCH=OFF "$@"
cmake --build build -j"$(nproc)"
ctest --test-dir build -j"$(nproc)" --output-on-failure
