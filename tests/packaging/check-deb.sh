#!/usr/bin/env bash
# Builds the Debian package in a scratch build folder (program only, no tests, Debian's
# hardening flags), checks it with lintian --pedantic (any tag, to the info and pedantic
# ones, fails: hardening, stripping and every policy note), installs it with dpkg -i,
# runs the installed
# program (-V, its manual page, the shipped example, whose reports must equal those of
# build/Trelba on examples/), and removes it again, also when a step fails.
# Usage: tests/packaging/check-deb.sh [REFERENCE_BINARY]   (default build/Trelba)
set -euo pipefail
cd "$(dirname "$0")/../.."
reference=${1:-build/Trelba}
scratch=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then dpkg -r trelba >/dev/null; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

cmake -S . -B "$scratch/build" -DTRELBA_BUILD_TESTS=OFF -DTRELBA_BUILD_BENCH=OFF \
  -DTRELBA_WERROR=ON -DTRELBA_DEBIAN_BUILD_FLAGS=ON >/dev/null
cmake --build "$scratch/build" -j2 --target package >/dev/null
# lintian sees _FORTIFY_SOURCE only through the fortified calls the compiler could check;
# the build's flags must hold it whatever the code calls.
grep -q -- '-D_FORTIFY_SOURCE=2' "$scratch/build/CMakeFiles/trelba_core.dir/flags.make" ||
  { echo "the package's build lacks Debian's -D_FORTIFY_SOURCE=2" >&2; exit 1; }
deb=$(ls "$scratch"/build/trelba_*.deb)
echo "package: $(basename "$deb")"

# Every tag fails the step, down to the pedantic and the informational ones.
status=0
lintian --pedantic --display-info --fail-on error,warning,info,pedantic "$deb" \
  >"$scratch/lintian.txt" 2>&1 || status=$?
grep -v 'running with root privileges' "$scratch/lintian.txt" || true
[ "$status" = 0 ] && ! grep -q '^[EWIPX]: ' "$scratch/lintian.txt" ||
  { echo "lintian --pedantic reports tags on $deb" >&2; exit 1; }
echo "lintian --pedantic: no tags"

if dpkg -s trelba >/dev/null 2>&1; then
  echo "trelba is already installed here; not replacing it" >&2
  exit 1
fi
dpkg -i "$deb" >/dev/null
installed=1
version=$(/usr/bin/Trelba -V)
[ "$version" = "Trelba $(sed -n 's/^project(Trelba VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ] ||
  { echo "unexpected version line: $version" >&2; exit 1; }
echo "$version"
man -w Trelba
[ "$(man -w Trelba)" = /usr/share/man/man1/Trelba.1.gz ]
# Shell completion where bash-completion and zsh look for it.
[ -f /usr/share/bash-completion/completions/Trelba ] && [ -f /usr/share/zsh/vendor-completions/_Trelba ]

work="$scratch/example"
mkdir -p "$work/reference"
cp /usr/share/doc/trelba/examples/Ecoli_HighlyExpressedGenes.fa.gz "$work/"
/usr/bin/Trelba "$work/Ecoli_HighlyExpressedGenes.fa.gz"
gzip -dc "$work/Ecoli_HighlyExpressedGenes.fa.gz" >"$work/reference/Ecoli_HighlyExpressedGenes.fa.gz"
"$reference" "$work/reference/Ecoli_HighlyExpressedGenes.fa.gz"
for suffix in freq iik ok; do
  cmp "$work/Ecoli_HighlyExpressedGenes.fa.gz.$suffix" \
    "$work/reference/Ecoli_HighlyExpressedGenes.fa.gz.$suffix"
done
echo "example: $(tail -n 1 "$work/Ecoli_HighlyExpressedGenes.fa.gz.ok")"

dpkg -r trelba >/dev/null
installed=0
if [ -e /usr/bin/Trelba ] || dpkg -s trelba >/dev/null 2>&1; then
  echo "dpkg -r left trelba behind" >&2
  exit 1
fi
echo "installed, run and removed"
