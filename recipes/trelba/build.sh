#!/bin/bash
set -euxo pipefail
# The program alone: no tests (they need GoogleTest and MPFR), no benchmarks. Never
# -march=native or -ffast-math: every build must write the same bytes.
cmake -S . -B build ${CMAKE_ARGS} \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="${PREFIX}" \
  -DTRELBA_BUILD_TESTS=OFF \
  -DTRELBA_BUILD_BENCH=OFF
cmake --build build -j"${CPU_COUNT}" --target Trelba
cmake --install build
