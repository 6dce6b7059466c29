#!/usr/bin/env bash
# On Debian 12: installs what the program needs, builds the program alone (no tests, no
# benchmarks, no GoogleTest) in build/, and runs it on the shipped example. Extra
# arguments go to CMake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-missing.sh g++ cmake zlib1g-dev liblzma-dev libbz2-dev libzstd-dev libisal-dev
cmake -S . -B build -DTRELBA_BUILD_TESTS=OFF -DTRELBA_BUILD_BENCH=OFF "$@"
cmake --build build -j"$(nproc)" --target Trelba

example=examples/Ecoli_HighlyExpressedGenes.fa
./build/Trelba "$example"
echo "Wrote $example.freq, $example.iik and $example.ok; their last line:"
tail -n 1 "$example.ok"
