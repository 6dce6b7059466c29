#!/usr/bin/env bash
# On Debian 12 (amd64): builds the program for 64-bit ARM Linux, statically linked, into
# FOLDER (default build-arm), to be run with `qemu-aarch64 FOLDER/Trelba`. Installs what
# is missing: the cross compiler, qemu-user, and the decompression libraries for arm64
# from Debian multiarch (this adds the arm64 architecture to dpkg once). ISA-L is left
# out: libisal-dev:arm64 cannot be installed beside libisal-dev, so gzip is inflated
# with zlib, which reads the same text.
#
#   tests/platforms/build-arm.sh [FOLDER [extra CMake configure arguments]]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
folder=${1:-build-arm}
shift $(($# > 0 ? 1 : 0))

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  echo "Adding the arm64 architecture to dpkg"
  "${as_root[@]}" dpkg --add-architecture arm64
fi
# On a machine whose amd64 packages are older than the mirror's, this also upgrades the
# amd64 copies of the Multi-Arch: same libraries (zlib1g, libssl3, ...) to the same version.
"$source_dir/scripts/install-missing.sh" cmake g++-aarch64-linux-gnu qemu-user \
  zlib1g-dev:arm64 liblzma-dev:arm64 libbz2-dev:arm64 libzstd-dev:arm64

cmake -S "$source_dir" -B "$folder" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/aarch64-linux-gnu.cmake" \
  -DTRELBA_USE_ISAL=OFF -DTRELBA_BUILD_TESTS=OFF -DTRELBA_BUILD_BENCH=OFF "$@"
cmake --build "$folder" -j"$(nproc)" --target Trelba
qemu-aarch64 "$folder/Trelba" --version
